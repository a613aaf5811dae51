#!/usr/bin/env bash
# A drive typed in "Look in" as "Q:" (a drive letter of the test's own, a link in the prefix's
# dosdevices) is searched from its root, though the program runs in a folder below it; the
# same folder typed "Q:\\sub" or "Q:\sub." lists its rows under "Q:\sub\". Typed with the real
# keyboard (xdotool), the rows read from another process.
# Usage: typed-drive-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$(realpath "$1")
reader=$(realpath "$2")
source "$(dirname "$0")/xdotool-lib.sh"

read_window visible >/dev/null # makes the prefix on first use
tree=$(mktemp -d)
mkdir -p "$tree/sub/deeper"
for name in top.txt sub/mid.txt sub/deeper/low.txt; do printf x >"$tree/$name"; done
letter=
for candidate in q r s t u v w x y; do
    if ln -s "$tree" "$prefix/dosdevices/$candidate:" 2>/dev/null; then letter=$candidate; break; fi
done
[ -n "$letter" ] || { echo "no drive letter free in $prefix"; exit 1; }
trap 'rm -f "$prefix/dosdevices/$letter:"; rm -rf "$tree" "$tree.rows"' EXIT
drive=${letter^^}:
forget_settings
cd "$tree/sub" # the program's current folder is on that drive, below its root
start_quennet "$drive\\sub"

# Types $1 into "Look in" and searches; prints the rows, name and folder.
search_in() {
    tab_to "Edit|$(read_window lookin | cut -d'|' -f2-)" || fail "Look in is reached with Tab: [$(focus)]"
    xdotool key ctrl+a
    xdotool type --delay 30 "$1"
    xdotool key Return
    wait_done 20 || fail "the search in $1 did not end"
    read_window rows | cut -d'|' -f1,2 | LC_ALL=C sort
}

search_in "$drive" >"$tree.rows"
rows=$(cat "$tree.rows")
[ "$rows" = "low.txt|$drive\\sub\\deeper\\
mid.txt|$drive\\sub\\
top.txt|$drive\\" ] || fail "$drive is the whole drive:
$rows"
for typed in "$drive\\\\sub" "$drive\\sub."; do
    search_in "$typed" >"$tree.rows"
    rows=$(cat "$tree.rows")
    [ "$rows" = "low.txt|$drive\\sub\\deeper\\
mid.txt|$drive\\sub\\" ] || fail "$typed is $drive\\sub:
$rows"
done
close_quennet || fail "the window closes"
[ $failures = 0 ] && echo "all passed"
exit $((failures > 0))
