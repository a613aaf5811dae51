#!/bin/sh
# Escape on the real keyboard through X: it cancels the folder picker, as its close box does,
# and closes the hex viewer.
# Usage: escape-xdotool.sh folderpick-demo.exe hexview-demo.exe WORKDIR
set -u
picker=$1
viewer=$2
dir=$3
command -v xdotool >/dev/null || { echo "skipped: xdotool missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }
run="$(dirname "$0")/../../scripts/wine-run.sh"
. "$(dirname "$0")/../../scripts/wine-env.sh"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# True when process $1 ends within 10 seconds; otherwise it is ended.
ends() {
    for _ in $(seq 40); do
        kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
        sleep 0.25
    done
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 1
}

out=$(mktemp)
"$run" "$picker" 1 >"$out" 2>/dev/null &
pid=$!
timeout 30 xdotool search --sync --onlyvisible --name "Browse for folder" >/dev/null
sleep 1
xdotool key Escape
ends $pid || fail "Escape closes the picker"
got=$(head -n 1 "$out" | tr -d '\r')
rm -f "$out"
[ "$got" = Cancel ] || fail "Escape cancels the picker: [$got]"

mkdir -p "$dir"
printf 'Hello, viewer' >"$dir/view.txt"
"$run" "$viewer" "$(quennet_winpath "$dir/view.txt")" >/dev/null 2>&1 &
pid=$!
timeout 30 xdotool search --sync --onlyvisible --name "Viewing:" >/dev/null
sleep 1
xdotool key Escape
ends $pid || fail "Escape closes the hex viewer"

[ "$failures" = 0 ] && echo "Escape closed the picker and the viewer"
[ "$failures" = 0 ]
