#!/usr/bin/env bash
# What only the whole process shows: exit statuses and messages of refused numbers, and of a
# search thread the system will not give (its stack cannot fit under the address-space limit).
# Usage: command-line.sh QUENNET-CLI
set -u
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0
expect() { # label, wanted status, wanted text on stderr, command...
    local label=$1 status=$2 text=$3; shift 3
    "$@" >"$dir/out" 2>"$dir/err"
    local got=$?
    if [ "$got" != "$status" ] || ! grep -qF -- "$text" "$dir/err" || [ -s "$dir/out" ]; then
        echo "WRONG: $label: status $got, stderr: $(head -c 300 "$dir/err")"; fail=1
    else
        echo "ok: $label"
    fi
}
for bad in "--min-kb 1O0" "--max-kb 99999999999" "--threads 0" "--threads 65"; do
    set -- $bad
    expect "$bad" 2 "$1 must be a whole number" "$cli" "$1" "$2" "$dir"
done
expect "no search thread" 1 "Cannot start the search thread" \
    bash -c 'ulimit -s 4000000 && ulimit -v 400000 && exec "$0" "$1"' "$cli" "$dir"
# The same bytes from every pool size: files split in ranges, matches across chunk borders.
mkdir -p "$dir/t/sub/deeper"
for i in $(seq 1 200); do printf '%*sneedle%*s' $((i * 37)) '' $((i % 5)) '' >"$dir/t/f$i"; done
for i in 1 2 3; do
    head -c $((i * 3 * 1048576 - 3)) /dev/zero >"$dir/t/sub/deeper/big$i"
    printf 'NEEDLE' >>"$dir/t/sub/deeper/big$i"
    head -c $((i * 1048576)) /dev/zero >>"$dir/t/sub/deeper/big$i"
done
"$cli" --columns --threads 1 --text needle "$dir/t" >"$dir/one" 2>&1
for n in 2 3 8 ""; do
    "$cli" --columns ${n:+--threads $n} --text needle "$dir/t" >"$dir/many" 2>&1
    if [ "$(wc -l <"$dir/one")" = 203 ] && cmp -s "$dir/one" "$dir/many"; then
        echo "ok: --threads ${n:-default} lists what --threads 1 lists"
    else
        echo "WRONG: --threads ${n:-default}: $(diff "$dir/one" "$dir/many" | head -5)"; fail=1
    fi
done
# A sparse tree, one file a folder, read by 64 scanners under a small descriptor limit while a
# big first file holds back the rows: the folders held open for the scanners must not use up
# the descriptors files are opened with.
for i in $(seq 1 3000); do mkdir -p "$dir/sparse/d$i" && echo needle >"$dir/sparse/d$i/f"; done
truncate -s 16G "$dir/sparse/big"
found=$(bash -c 'ulimit -n 256 && exec "$0" --threads 64 --text needle "$1"' "$cli" "$dir/sparse" | wc -l)
if [ "$found" = 3000 ]; then
    echo "ok: 64 scanners under 256 descriptors find every file"
else
    echo "WRONG: 64 scanners under 256 descriptors found $found of 3000 files"; fail=1
fi
exit $fail
