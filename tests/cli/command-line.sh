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
for bad in "--min-kb 1O0" "--max-kb 99999999999"; do
    set -- $bad
    expect "$bad" 2 "$1 must be a whole number" "$cli" "$1" "$2" "$dir"
done
expect "no search thread" 1 "Cannot start the search thread" \
    bash -c 'ulimit -s 4000000 && ulimit -v 400000 && exec "$0" "$1"' "$cli" "$dir"
exit $fail
