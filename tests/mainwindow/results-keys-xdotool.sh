#!/usr/bin/env bash
# The results list's keys through the real keyboard (xdotool), read from another process and
# checked on disk and on X's clipboard: Ctrl+A, Ctrl+C, the Menu key and Shift+F10 at the
# focused row, Enter into the viewer, and Delete in the list sorted by name with a click on its
# header: exactly the chosen file goes, into the recycle bin.
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
# The first names by name lie in a subfolder, which the walk reaches last: the order found
# differs from the order by name.
mkdir -p "$folder/sub"
for name in d.txt e.txt f.txt sub/a.txt "sub/b one.txt" sub/c.txt; do echo "$name" >"$folder/$name"; done
forget_settings
start_quennet "C:\\$work"
xdotool key Return
wait_done 20 || fail "the search did not end"
tab_to 'SysListView32|' || fail "the list is reached with Tab"
listed=$(read_window rows)
rows=$(cut -d'|' -f1 <<<"$listed")
names_listed() { read_window rows | cut -d'|' -f1; }
clipboard() { xclip -selection clipboard -o 2>/dev/null; }
menu_shown() { [ -n "$(read_window menu)" ] && echo yes; }
files_left() { find "$folder" -type f -printf '%f\n' | LC_ALL=C sort; }

xdotool key ctrl+a
wait_for "$rows" read_window selected || fail "Ctrl+A selects every row: [$(read_window selected)]"
xdotool key ctrl+c
# X's clipboard gives the lines with LF ends.
expected=$(awk -F'|' '{ print $2 $1 }' <<<"$listed")
wait_for "$expected" clipboard ||
    fail "Ctrl+C copies the paths: [$(xclip -selection clipboard -o 2>/dev/null | od -c | head -3)]"

# The keyboard's menu opens at the focused row, not at the list's corner.
last=$(tail -1 <<<"$rows")
xdotool key End
wait_for "$last" read_window selected || fail "End chooses the last row: [$(read_window selected)]"
read -r left _ _ bottom <<<"$(read_window focusedrow)"
for keys in Menu shift+F10; do
    xdotool key "$keys"
    wait_for yes menu_shown
    read -r x y <<<"$(read_window menu)"
    if [ -z "${x:-}" ]; then
        fail "$keys opens the menu"
    elif [ $((x - left)) -lt -2 ] || [ $((x - left)) -gt 30 ] || [ $((y - bottom)) -lt -2 ] || [ $((y - bottom)) -gt 30 ]; then
        fail "$keys opens the menu at the focused row ($left,$bottom): at ($x,$y)"
    fi
    xdotool key Escape
    wait_for "" menu_shown || fail "Escape closes the menu"
done

# Enter opens the focused row (the last) in the viewer.
viewer_of_last() { xdotool search --onlyvisible --name "$last" 2>/dev/null | head -1; }
xdotool key Return
for _ in $(seq 80); do
    viewer=$(viewer_of_last)
    [ -n "$viewer" ] && break
    sleep 0.25
done
[ -n "$viewer" ] || fail "Enter opens $last in the viewer"
[ -n "$viewer" ] && xdotool key alt+F4 # the viewer is modal and has the keyboard
wait_for "" viewer_of_last || fail "Alt+F4 closes the viewer"

# A click on "Name" sorts the list; Delete then takes the row chosen in that order, one whose
# place differs from its place as found.
read -r x y <<<"$(read_window namecolumn)"
xdotool mousemove "$x" "$y" click 1
wait_for "$(LC_ALL=C sort <<<"$rows")" names_listed
sorted=$(names_listed)
[ "$sorted" = "$(LC_ALL=C sort <<<"$rows")" ] || fail "a click on Name sorts the list: [$sorted]"
mapfile -t found_order <<<"$rows"
mapfile -t name_order <<<"$sorted"
chosen=1
for i in "${!name_order[@]}"; do
    [ "${name_order[$i]}" != "${found_order[$i]}" ] && { chosen=$i; break; }
done
tab_to 'SysListView32|' || fail "the list is reached with Tab again"
xdotool key Home
for _ in $(seq "$chosen"); do xdotool key Down; done
victim=${name_order[$chosen]}
wait_for "$victim" read_window selected || fail "Home and Down choose $victim: [$(read_window selected)]"
xdotool key Delete
for _ in $(seq 80); do
    [ -n "$(read_window box Confirm)" ] && break
    sleep 0.25
done
xdotool key Return # "Yes" to the question
wait_for "$(grep -vxF "$victim" <<<"$sorted")" files_left
left=$(files_left)
[ "$left" = "$(grep -vxF "$victim" <<<"$sorted")" ] || fail "Delete removes $victim alone from the disk: [$left]"
wait_for "$left" names_listed || fail "the list shows what is left: [$(read_window rows)]"
# Wine's recycle bin is the desktop's trash; its record names the file's old place.
trash_info=${XDG_DATA_HOME:-$HOME/.local/share}/Trash/info
grep -rhF "Path=" "$trash_info" 2>/dev/null | grep -F "/$work/" | grep -qF "/${victim// /%20}" ||
    fail "$victim is in the recycle bin, not destroyed"

close_quennet || fail "the program ended when its window closed"
forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all results-list key checks passed"
[ "$failures" = 0 ]
