#!/bin/sh
# The folder picker driven by the real keyboard through X, as a user would: Down twice from
# My Computer reaches C:, Right opens it, Down picks its first folder, Tab reaches OK, Enter.
# Usage: folderpick-xdotool.sh folderpick-demo.exe
set -u
demo=$1
command -v xdotool >/dev/null || { echo "skipped: xdotool missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }
out=$(mktemp)
"$(dirname "$0")/../../scripts/wine-run.sh" "$demo" 1 >"$out" 2>/dev/null &
pid=$!
timeout 30 xdotool search --sync --onlyvisible --name "Browse for folder" >/dev/null
sleep 1
xdotool key Down Down Right
sleep 1
xdotool key Down Tab Return
for _ in $(seq 40); do
    grep -q . "$out" && break
    sleep 0.25
done
got=$(head -n 1 "$out" | tr -d '\r')
kill $pid 2>/dev/null
wait $pid 2>/dev/null
rm -f "$out"
echo "picker: [$got]"
[ "$got" = 'OK C:\Program Files' ]
