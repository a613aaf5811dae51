#!/usr/bin/env bash
# What only the whole process shows: exit statuses and messages of refused numbers, and of a
# search thread the system will not give (its stack cannot fit under the address-space limit).
# Usage: command-line.sh QUENNET-CLI HOLD-READ-LIBRARY
set -u
cli=$1
hold_read=$2
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
# Both bounds are inclusive: a minimum equal to the maximum lists the files of exactly that size.
mkdir -p "$dir/sizes"
for bytes in 3071 3072 3073; do head -c $bytes /dev/zero >"$dir/sizes/$bytes"; done
"$cli" --min-kb 3 --max-kb 3 "$dir/sizes" >"$dir/out" 2>"$dir/err"
status=$?
if [ "$status" = 0 ] && [ "$(cat "$dir/out")" = "$dir/sizes/3072" ] && [ ! -s "$dir/err" ]; then
    echo "ok: --min-kb 3 --max-kb 3 lists the file of 3072 bytes alone"
else
    echo "WRONG: --min-kb 3 --max-kb 3: status $status, rows: $(tr '\n' ' ' <"$dir/out"), stderr: $(head -c 300 "$dir/err")"
    fail=1
fi
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
# Two files a folder (the pool holds a folder open for its files from the second on), read by
# 64 scanners under a small descriptor limit while a first file whose reads are held (see
# HoldRead.cpp) keeps every scanner busy: the folders held open for the scanners must not use
# up the descriptors files are opened with. The walk has to stop with descriptors to spare;
# one that takes them all gives folders up.
mkdir -p "$dir/held"
(cd "$dir/held" && mkdir $(seq -f 'd%g' 1 1000) && for i in $(seq 1 1000); do echo needle >"d$i/f"; echo needle >"d$i/g"; done)
truncate -s 256M "$dir/held/hold"
bash -c 'ulimit -n 256 && LD_PRELOAD=$1 exec "$0" --threads 64 --buffer-mb 1 --text needle "$2"' \
    "$cli" "$hold_read" "$dir/held" >"$dir/out" 2>"$dir/err"
status=$?
found=$(wc -l <"$dir/out")
if [ "$status" = 0 ] && [ "$found" = 2000 ] && [ ! -s "$dir/err" ]; then
    echo "ok: folders held for 64 scanners leave descriptors to open the files with"
else
    echo "WRONG: folders held for 64 scanners under 256 descriptors: status $status, $found of 2000 files, stderr: $(head -c 300 "$dir/err")"
    fail=1
fi
exit $fail
