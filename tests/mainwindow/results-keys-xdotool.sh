#!/usr/bin/env bash
# The results list's keys through the real keyboard (xdotool), read from another process and
# checked on disk and on X's clipboard: Ctrl+A, Ctrl+C, the Menu key and Shift+F10 at the
# focused row, Enter into the viewer. (Delete through the keyboard is not checked here yet.)
# Usage: results-keys-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"
command -v xclip >/dev/null || { echo "skipped: xclip missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }

read_window visible >/dev/null # makes the prefix on first use
work=quennet-keys-$$
folder=$prefix/drive_c/$work
mkdir -p "$folder"
for name in "b one.txt" a.txt c.txt; do echo "$name" >"$folder/$name"; done
forget_settings
start_quennet "C:\\$work"
xdotool key Return
wait_done 20 || fail "the search did not end"
tab_to 'SysListView32|' || fail "the list is reached with Tab"
rows=$(read_window rows | cut -d'|' -f1)
first=$(head -1 <<<"$rows")

xdotool key ctrl+a
sleep 0.3
[ "$(read_window selected)" = "$rows" ] || fail "Ctrl+A selects every row: [$(read_window selected)]"
xdotool key ctrl+c
sleep 0.5
# X's clipboard gives the lines with LF ends.
expected=$(while read -r name; do printf 'C:\\%s\\%s\n' "$work" "$name"; done <<<"$rows")
[ "$(xclip -selection clipboard -o 2>/dev/null)" = "$expected" ] ||
    fail "Ctrl+C copies the paths: [$(xclip -selection clipboard -o 2>/dev/null | od -c | head -3)]"

# The keyboard's menu opens at the focused row, not at the list's corner.
xdotool key End
sleep 0.3
read -r left _ _ bottom <<<"$(read_window focusedrow)"
for keys in Menu shift+F10; do
    xdotool key "$keys"
    sleep 0.7
    read -r x y <<<"$(read_window menu)"
    if [ -z "${x:-}" ]; then
        fail "$keys opens the menu"
    elif [ $((x - left)) -lt -2 ] || [ $((x - left)) -gt 30 ] || [ $((y - bottom)) -lt -2 ] || [ $((y - bottom)) -gt 30 ]; then
        fail "$keys opens the menu at the focused row ($left,$bottom): at ($x,$y)"
    fi
    xdotool key Escape
    sleep 0.4
done

# Enter opens the focused row (the last) in the viewer.
last=$(tail -1 <<<"$rows")
xdotool key Return
sleep 1.5
viewer=$(xdotool search --onlyvisible --name "$last" 2>/dev/null | head -1)
[ -n "$viewer" ] || fail "Enter opens $last in the viewer"
[ -n "$viewer" ] && xdotool key alt+F4 # the viewer is modal and has the keyboard
sleep 1

close_quennet || fail "the program ended when its window closed"
forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all results-list key checks passed"
[ "$failures" = 0 ]
