#!/usr/bin/env bash
# A chain of 10,000 nested folders with a file every 500 levels. Natively every file is found,
# with one thread and two, by name and by phrase, under a limit of 64 descriptors. Under Wine
# the files Windows can reach are found and the first folder beyond is named on stderr, with
# exit status 1: nothing is left out in silence.
# Usage: deep-folders.sh QUENNET-CLI [wine]
set -u
cli=$1
mode=${2:-native}
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0

root=$dir/chain
mkdir "$root"
levels=$(printf 'd/%.0s' $(seq 500))
: >"$dir/want"
(
    cd "$root" || exit 1
    for i in $(seq 0 20); do
        printf 'level %d: the needle\n' $((i * 500)) >"f$i.txt"
        [ "$i" -lt 20 ] || break
        mkdir -p "$levels" && cd "$levels" || exit 1
    done
) || { echo "could not make the chain"; exit 1; }
for i in $(seq 0 20); do
    printf '%s/' "$root"
    for ((k = 0; k < i; ++k)); do printf '%s' "$levels"; done
    printf 'f%d.txt\n' "$i"
done >"$dir/want"

check() { # label, status wanted, status got
    if [ "$3" = "$2" ] && diff -q "$dir/want" "$dir/got" >/dev/null; then
        echo "same: $1 ($(wc -l <"$dir/got") rows, exit $3)"
    else
        echo "DIFFERENT: $1: exit $3 (wanted $2), rows:"; sed 's|.*/||' "$dir/got" | head -30; fail=1
    fi
}

if [ "$mode" = native ]; then
    for threads in 1 2; do
        for criteria in "--name f" "--text needle"; do
            # shellcheck disable=SC2086
            (ulimit -n 64 && exec timeout 300 "$cli" --threads $threads $criteria "$root") >"$dir/got" 2>"$dir/err"
            check "$threads thread(s), $criteria, 64 descriptors" 0 $?
            [ -s "$dir/err" ] && { echo "stderr:"; head -c 500 "$dir/err"; fail=1; }
        done
    done
    exit $fail
fi

# Wine: a folder path turns into a Unix path, which stops at 4,096 bytes; Windows itself goes
# on to 32,767 characters, where the same report is made.
winroot="Z:${root//\//\\}"
timeout 500 "$here/../../scripts/wine-run.sh" "$cli" --threads 2 --text needle "$winroot" >"$dir/raw" 2>"$dir/err"
status=$?
tr -d '\r' <"$dir/raw" | sed -e 's|^Z:||' -e 's|\\|/|g' >"$dir/got"
rows=$(wc -l <"$dir/got")
head -n "$rows" "$dir/want" >"$dir/reached"
reported=$(tr -d '\r' <"$dir/err" | grep -c "^Z:.*\\\\d: \|^Z:.*\\\\d\\\\: ")
if [ "$rows" -ge 5 ] && diff -q "$dir/reached" "$dir/got" >/dev/null &&
    { [ "$rows" -eq 21 ] && [ "$status" -eq 0 ] || { [ "$status" -eq 1 ] && [ "$reported" -ge 1 ]; }; }; then
    echo "same: wine: the first $rows files found, the rest reported ($reported line(s) on stderr), exit $status"
else
    echo "DIFFERENT: wine: $rows rows, exit $status, stderr:"; head -c 300 "$dir/err"; echo; fail=1
fi
exit $fail
