#!/usr/bin/env bash
# Memory that runs out anywhere ends the search cleanly: each run, with one allocation made to
# fail (a preloaded allocator, one call number at a time, for 1, 2 and 8 threads), ends with
# status 0 and every row, or with status 1 and "Out of memory.": never a hang (the time-out),
# an abort, or status 0 with a row missing. And a pool that cannot have memory for all its
# scanners goes on with fewer: under the smallest address-space limit at which one thread
# runs, eight threads give the same rows.
# Usage: out-of-memory.sh QUENNET-CLI FAILING-ALLOCATION-LIBRARY [LAST-CALL-NUMBER]
set -u
cli=$1
library=$2
last=${3:-150}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0

tree=$dir/tree
for f in a/1 a/2 b/c/3 b/c/4 b/5 6; do
    mkdir -p "$tree/$(dirname "$f")"
    printf 'a needle in file %s\n' "$f" >"$tree/$f.txt"
done
printf 'nothing here\n' >"$tree/b/plain.txt"
"$cli" --text needle "$tree" | sort >"$dir/want"
[ "$(wc -l <"$dir/want")" = 6 ] || { echo "the search without failures did not list the 6 files"; exit 1; }

runs=0
# sweep THREADS LAST WANT ARGUMENTS...: allocations 0 to LAST failing in turn.
sweep() {
    local threads=$1 last=$2 want=$3
    shift 3
    for n in $(seq 0 "$last"); do
        QUENNET_FAIL_ALLOCATION=$n LD_PRELOAD=$library timeout 10 "$cli" --threads "$threads" "$@" "$tree" \
            >"$dir/out" 2>"$dir/err"
        status=$?
        runs=$((runs + 1))
        if [ "$status" = 0 ] && [ ! -s "$dir/err" ] && sort "$dir/out" | cmp -s - "$want"; then
            continue
        fi
        if [ "$status" = 1 ] && [ "$(cat "$dir/err")" = "Out of memory." ]; then
            continue
        fi
        echo "WRONG: --threads $threads $*, allocation $n failing: status $status, $(wc -l <"$dir/out") rows," \
            "stderr: $(head -c 200 "$dir/err")"
        fail=1
    done
}
for threads in 1 2 8; do
    sweep "$threads" "$last" "$dir/want" --text needle
done
# A regular expression: its library takes memory the same way (compiling, the match data and
# JIT stack of each scanner), and so do the matching lines, also of a file read in ranges by
# several scanners (its match in the second range); every allocation of the search fails in turn.
tree=$dir/tree-regex
mkdir -p "$tree"
cp "$dir/tree/6.txt" "$tree"
head -c 5000000 /dev/zero | tr '\0' 'q' >"$tree/big.txt"
printf '\nthere is a needle far into this file\n' | dd of="$tree/big.txt" bs=1 seek=4500000 conv=notrunc status=none
"$cli" --regex 'ne+dle' --line "$tree" | sort >"$dir/want-regex"
[ "$(wc -l <"$dir/want-regex")" = 2 ] || { echo "the regular expression did not list the 2 files"; exit 1; }
for threads in 1 3; do
    count=$(QUENNET_COUNT_ALLOCATIONS=1 LD_PRELOAD=$library "$cli" --threads "$threads" --buffer-mb 1 \
        --regex 'ne+dle' --line "$tree" 2>&1 >/dev/null | sed -n 's/^allocations: //p')
    sweep "$threads" $((count + 10)) "$dir/want-regex" --buffer-mb 1 --regex 'ne+dle' --line
done
tree=$dir/tree
echo "$runs runs with one allocation failing"

# The smallest address-space limit (in KB) at which one thread lists every row, and above it
# the limits at which a pool has room for some of its scanners' stacks and chunks but not all.
lists_all() { # limit, threads
    bash -c 'ulimit -v "$1" && exec "$0" --threads "$2" --text needle "$3"' "$cli" "$1" "$2" "$tree" 2>/dev/null |
        sort | cmp -s - "$dir/want"
}
low=1000 high=4000000
lists_all "$high" 1 || { echo "WRONG: one thread fails under $high KB"; exit 1; }
while [ $((high - low)) -gt 100 ]; do
    middle=$(((low + high) / 2))
    if lists_all "$middle" 1; then high=$middle; else low=$middle; fi
done
failed=""
for limit in $(seq "$high" 300 $((high + 80000))); do
    lists_all "$limit" 8 || failed="$failed $limit"
done
if [ -z "$failed" ]; then
    echo "ok: eight threads from $high KB up, where one thread runs"
else
    echo "WRONG: eight threads fail under (KB):$failed; one thread runs from $high KB"; fail=1
fi
exit $fail
