#!/usr/bin/env bash
# The rows of quennet-cli are the same, byte for byte and in the same order, for 1, 2, 3 and 8
# threads: on each tree given, with a rare phrase, with a common one (many rows, their match
# offsets too), and with names only.
# Usage: bench/same-rows.sh QUENNET-CLI TREE... (e.g. the deep and flat corpora of
# bench/compare.py and /usr/share /usr/include as one mixed tree: "/usr/share /usr/include")
set -u
if [ $# -lt 2 ]; then
    echo "usage: bench/same-rows.sh QUENNET-CLI TREE..." >&2
    exit 2
fi
cli=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for tree in "$@"; do
    # A tree given as several words is searched as several roots.
    read -ra roots <<<"$tree"
    for search in "--case-sensitive --text quennetrarephrase" "--text the" "--name t"; do
        read -ra criteria <<<"$search"
        "$cli" --threads 1 --columns "${criteria[@]}" "${roots[@]}" >"$work/1" 2>"$work/1.err"
        for threads in 2 3 8; do
            "$cli" --threads "$threads" --columns "${criteria[@]}" "${roots[@]}" >"$work/n" 2>"$work/n.err"
            if cmp -s "$work/1" "$work/n" && cmp -s "$work/1.err" "$work/n.err"; then
                echo "same: $tree, $search, $threads threads ($(wc -l <"$work/1") rows)"
            else
                echo "DIFFERENT: $tree, $search, $threads threads against 1:"
                diff "$work/1" "$work/n" | head -5
                diff "$work/1.err" "$work/n.err" | head -5
                status=1
            fi
        done
    done
done
exit $status
