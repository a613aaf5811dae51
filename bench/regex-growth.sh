#!/usr/bin/env bash
# Growth of a regular-expression search with the file's size, for the worst patterns we know:
# a leading .* (or .*?) that would see the rest of a line from every start, nested quantifiers,
# a long alternation and back-references, on 1, 10 and 100 MB of one line of JSON, of NUL bytes
# and of words with no line break. Time must grow linearly with the size, or the file be given
# up (status 1) once the work on it passes its bound. Prints a Markdown table and the load.
# Usage: bash bench/regex-growth.sh QUENNET-CLI [DIR]
set -u
cli=$1
dir=${2:-$(mktemp -d)}
mkdir -p "$dir"
sizes="1 10 100"

make_file() { # kind MB path
    python3 - "$1" "$2" "$3" <<'PY'
import sys
kind, mb, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
size = mb * 1024 * 1024
unit = {"json": b'{"price": 12, "name": "lorem ipsum"}, ',
        "nul": b"\0" * 4096,
        "words": b"lorem ipsum dolor sit amet, consectetur adipiscing elit sed do eiusmod tempor "}[kind]
with open(path, "wb") as f:
    f.write((unit * (size // len(unit) + 1))[:size])
PY
}

patterns=(
    '.*NOTHERE'
    '.*?NOTHERE'
    'price.*NOTHERE'
    '(\w+\s?)+$'
    '(a|b|c|d|e|f|g|h|i|j|k|l|m|n|o|p|q|r|s|t|u|v|w|x|y|z)+NOTHERE'
    '(?:alpha|bravo|charlie|delta|echo|foxtrot|golf|hotel|india|juliet|kilo|lima|mike)X'
    '(\w+) \1 NOTHERE'
    '(a+)\1+$'
)

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '| pattern | file |'
for mb in $sizes; do printf ' %s MB (s) |' "$mb"; done
echo ' outcome |'
printf '|---|---|'
for mb in $sizes; do printf -- '---:|'; done
echo '---|'
for kind in json nul words; do
    for mb in $sizes; do
        [ -f "$dir/$kind-$mb/f" ] || { mkdir -p "$dir/$kind-$mb"; make_file "$kind" "$mb" "$dir/$kind-$mb/f"; }
    done
    for pattern in "${patterns[@]}"; do
        printf '| `%s` | %s |' "${pattern//|/\\|}" "$kind"
        outcome=""
        for mb in $sizes; do
            cat "$dir/$kind-$mb/f" >/dev/null
            start=$(date +%s.%N)
            timeout 600 "$cli" --regex "$pattern" "$dir/$kind-$mb" >"$dir/out" 2>"$dir/err"
            status=$?
            end=$(date +%s.%N)
            printf ' %.3f |' "$(echo "$end - $start" | bc)"
            case $status in
            0) [ -s "$dir/out" ] && o="match" || o="none" ;;
            1) o="given up" ;;
            124) o="TIMED OUT" ;;
            *) o="status $status" ;;
            esac
            outcome="$outcome${outcome:+ / }$o"
        done
        echo " $outcome |"
    done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
