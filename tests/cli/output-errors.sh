#!/usr/bin/env bash
# A write that fails ends the search: a full disk and a closed stdout give "write error" and
# status 1; a reader that leaves after the first row (`| head -1`, SIGPIPE ignored) ends it
# too. The rows after the first fill more than a pipe holds, so the program must write after
# head has gone; behind them a 1 TB sparse file keeps a search that goes on busy far beyond
# the time-out.
# Usage: output-errors.sh QUENNET-CLI [wine]
set -u
cli=$1
mode=${2:-native}
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0

tree=$dir/tree
mkdir -p "$tree/zz"
for i in $(seq 1000 3999); do echo needle >"$tree/a-file-whose-row-fills-the-pipe-$i.txt"; done
truncate -s 1T "$tree/zz/huge.bin"

if [ "$mode" = wine ]; then
    root="Z:${tree//\//\\}"
    runner=("$here/../../scripts/wine-run.sh" "$cli")
else
    root=$tree
    runner=("$cli")
fi

if [ "$mode" = native ]; then
    expect() { # label, wanted text on stderr, redirection of stdout
        local label=$1 text=$2 redirect=$3
        bash -c "exec \"\$0\" --name 1000 \"\$1\" $redirect" "$cli" "$root" 2>"$dir/err"
        local got=$?
        if [ "$got" = 1 ] && grep -qF -- "$text" "$dir/err"; then
            echo "ok: $label"
        else
            echo "WRONG: $label: status $got, stderr: $(head -c 300 "$dir/err")"; fail=1
        fi
    }
    expect "a full disk" "write error: No space left on device" ">/dev/full"
    expect "stdout closed" "write error: Bad file descriptor" ">&-"
fi

# SIGPIPE ignored, as under Wine: the failed write itself must end the search.
trap '' PIPE
timeout 100 "${runner[@]}" --text needle "$root" | head -n 1 >"$dir/first"
status=${PIPESTATUS[0]}
trap - PIPE
if [ "$status" = 124 ]; then
    echo "WRONG: $mode: the search went on after its reader had gone (stopped by the time-out)"; fail=1
elif [ "$status" = 0 ] || ! grep -q 'a-file-whose-row-fills-the-pipe' "$dir/first"; then
    echo "WRONG: $mode: | head -1 gave status $status and the row '$(cat "$dir/first")'"; fail=1
else
    echo "ok: $mode: | head -1 ends the search (status $status)"
fi
exit $fail
