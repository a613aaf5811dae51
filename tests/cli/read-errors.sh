#!/usr/bin/env bash
# A file that cannot be read for a reason other than its absence or a denial (an I/O error,
# made by a preloaded read) is named on stderr with the reason and gives status 1, for one
# thread and for a pool; it used to count as a file without the phrase, with status 0.
# Usage: read-errors.sh QUENNET-CLI FAILING-READ-LIBRARY
set -u
cli=$1
library=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0
mkdir -p "$dir/sub"
echo needle >"$dir/a.txt"
echo needle >"$dir/sub/unreadable.txt"
echo needle >"$dir/sub/z.txt"
printf '%s\n' "$dir/a.txt" "$dir/sub/z.txt" >"$dir/want"
for threads in 1 2 8; do
    LD_PRELOAD=$library "$cli" --threads "$threads" --text needle "$dir" >"$dir/out" 2>"$dir/err"
    status=$?
    if [ "$status" = 1 ] && sort "$dir/out" | cmp -s - "$dir/want" &&
        [ "$(cat "$dir/err")" = "$dir/sub/unreadable.txt: Input/output error" ]; then
        echo "ok: --threads $threads names the file it could not read"
    else
        echo "WRONG: --threads $threads: status $status, rows: $(tr '\n' ' ' <"$dir/out"), stderr: $(head -c 300 "$dir/err")"
        fail=1
    fi
done
# A big file read in ranges by several threads is decided in order, as one thread reads it:
# its fifth megabyte cannot be read, so its match at 10 MB is never listed.
big=$(mktemp -d)
head -c $((12 << 20)) /dev/zero | tr '\0' q >"$big/bad-5th-mb.txt"
printf '\nneedle\n' | dd of="$big/bad-5th-mb.txt" bs=1 seek=$((10 << 20)) conv=notrunc status=none
for threads in 1 2 8; do
    LD_PRELOAD=$library "$cli" --threads "$threads" --text needle "$big" >"$dir/out" 2>"$dir/err"
    status=$?
    if [ "$status" = 1 ] && [ ! -s "$dir/out" ] && [ "$(cat "$dir/err")" = "$big/bad-5th-mb.txt: Input/output error" ]
    then
        echo "ok: --threads $threads gives up the file its unreadable part comes first in"
    else
        echo "WRONG: --threads $threads, an unreadable part before the match: status $status," \
            "rows: $(tr '\n' ' ' <"$dir/out"), stderr: $(head -c 300 "$dir/err")"
        fail=1
    fi
done
rm -rf "$big"
exit $fail
