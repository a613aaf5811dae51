#!/usr/bin/env bash
# The rows of a pool of scanners are those of one thread under any descriptor limit at which
# one thread runs, and at any path length one thread reaches. A file first in the walk whose
# reads are held (see HoldRead.cpp) holds the rows back, so the walk runs ahead through
# hundreds of small folders that all wait for it: each such folder used to hold a
# descriptor, and opens that met the limit (or a path past 4,096 bytes, opened whole) counted
# as "no match".
# Usage: descriptor-limits.sh QUENNET-CLI HOLD-READ-LIBRARY
set -u
cli=$1
hold_read=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0

rows() { # descriptor limit, threads, root: the number of rows, or the failure
    local out
    # One thread reads the held file itself: nothing to hold it for.
    local preload=$hold_read
    [ "$2" = 1 ] && preload=
    out=$(bash -c 'ulimit -n "$1" && LD_PRELOAD=$4 exec "$0" --threads "$2" --text needle "$3"' \
        "$cli" "$@" "$preload" 2>"$dir/err")
    local status=$?
    if [ "$status" != 0 ] || [ -s "$dir/err" ]; then
        echo "status $status: $(head -c 200 "$dir/err")"
    else
        printf '%s\n' "$out" | grep -c needle-
    fi
}
check() { # label, wanted, limit, threads, root
    local label=$1 want=$2; shift 2
    local got
    got=$(rows "$@")
    if [ "$got" = "$want" ]; then
        echo "ok: $label"
    else
        echo "WRONG: $label: $got rows of $want"; fail=1
    fi
}

sparse=$dir/sparse
# Two files a folder: the pool holds a folder open for its files from the second on.
for i in $(seq 1 300); do mkdir -p "$sparse/d$i" && echo needle >"$sparse/d$i/needle-file" && echo needle >"$sparse/d$i/needle-too"; done
truncate -s 256M "$sparse/hold"
for threads in 1 2 64; do
    for run in 1 2 3; do
        check "--threads $threads under 64 descriptors, run $run" 600 64 "$threads" "$sparse"
    done
done
# Few descriptors: one thread still runs, so the pool must too.
for threads in 1 2 64; do
    check "--threads $threads under 12 descriptors" 600 12 "$threads" "$sparse"
done

# Under 8 descriptors no pool runs, and the walk alone holds the few there are for its folders:
# twelve folders deep, every file is still read (each used to wait two seconds and be given up).
narrow=$dir/narrow
path=$narrow
for i in $(seq 1 12); do path=$path/d$i; mkdir -p "$path"; for j in 1 2 3; do echo needle >"$path/needle-$j"; done; done
for threads in 1 2; do
    check "--threads $threads under 8 descriptors, twelve folders deep" 36 8 "$threads" "$narrow"
done

# Folders whose paths stay under 4,096 bytes holding files whose paths do not.
segment=$(printf 's%.0s' $(seq 250))
deep=$dir/deep/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment/$segment
long_name="needle-file-$(printf 'n%.0s' $(seq 230))"
for i in $(seq 1 100); do mkdir -p "$deep/d$i" && (cd "$deep/d$i" && echo needle >"$long_name"); done
truncate -s 256M "$deep/hold"
[ $((${#deep} + 6 + ${#long_name})) -ge 4096 ] && [ $((${#deep} + 6)) -lt 4095 ] || { echo "the deep paths are not as meant"; exit 1; }
for threads in 1 8 64; do
    check "--threads $threads, files past 4,096 bytes of path" 100 1024 "$threads" "$dir/deep"
done
exit $fail
