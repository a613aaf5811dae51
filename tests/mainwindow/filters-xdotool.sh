#!/usr/bin/env bash
# The filters and the boxes' histories driven by the real keyboard through X and read from
# another process: masks and a skipped folder typed, a day picked, Enter, the rows read; the
# program started again, the filters, the look-in folder and the name history are back, and
# an earlier name is picked from its box's list with the keyboard; Up, Alt+Down and Delete
# in that box.
# Usage: filters-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"

read_window visible >/dev/null # makes the prefix on first use
work=quennet-filters-$$
folder=$prefix/drive_c/$work
mkdir -p "$folder/build" "$folder/src"
for name in a.cpp a.h a.txt b.min.h build/c.cpp src/d.cpp src/e.cpp; do
    printf x >"$folder/$name"
done
touch -d '-400 days' "$folder/src/d.cpp" # before the day picked below
forget_settings
start_quennet "C:\\$work"

# Only C++ files, no minified ones, not in "build", changed since this day a year ago.
tab_to 'TGlyphCheck|Specify size (in KB)' || fail "the size range is reached with Tab"
xdotool key Tab
xdotool type --delay 30 '*.cpp;*.h'
xdotool key Tab
xdotool type --delay 30 '*.min.*'
xdotool key Tab
xdotool type --delay 30 'BUILD'
xdotool key Tab
focus_is 'TGlyphCheck|After' || fail "the masks are followed by After: [$(focus)]"
xdotool key space
sleep 0.5
xdotool key Tab
today=$(date +%-m/%-d/%Y)
focus_is "SysDateTimePick32|$today" || fail "a ticked After lets today be changed: [$(focus)]"
# The picker's parts are month, day and year: the year goes back by one.
xdotool key Right Right Right
sleep 0.3
xdotool key Down
year_ago=$(date +%-m/%-d/)$(($(date +%Y) - 1))
focus_is "SysDateTimePick32|$year_ago" || fail "the day picked is a year ago: [$(focus)]"
xdotool key Return
if wait_done 20; then
    rows=$(read_window rows)
    [ "$rows" = "a.cpp|C:\\$work\\|1 b
a.h|C:\\$work\\|1 b
e.cpp|C:\\$work\\src\\|1 b" ] || fail "the filters' rows:
$rows"
else
    fail "the filtered search did not end"
fi

# Two names searched, the last first in the history.
for name in cpp a; do
    tab_to 'Edit|' || fail "the name box is reached with Tab"
    xdotool type --delay 30 "$name"
    xdotool key Return
    wait_done 20 || fail "the search for $name did not end"
    focus_is "Edit|$name" || fail "the focus comes back to the name box: [$(focus)]"
    xdotool key ctrl+a BackSpace
done

close_quennet || fail "the program ended when its window closed"
start_quennet

# The filters are back as typed.
tab_to 'TGlyphCheck|Specify size (in KB)' || fail "the size range is reached with Tab after the restart"
for want in 'Edit|*.cpp;*.h' 'Edit|*.min.*' 'Edit|BUILD' 'TGlyphCheck|After'; do
    xdotool key Tab
    focus_is "$want" || fail "after the restart: [$(focus)] instead of [$want]"
done
xdotool key Tab
focus_is "SysDateTimePick32|$year_ago" || fail "After is still ticked, on its day: [$(focus)]"

# The folder searched is in the look-in list after its fixed entries: the last entry.
tab_to "Edit|$(read_window lookin | cut -d'|' -f2-)" || fail "the look-in box is reached with Tab"
xdotool key alt+Down
sleep 0.5
xdotool key End Return
focus_is "Edit|C:\\$work" || fail "the searched folder is the look-in list's last entry: [$(focus)]"

# The name box: Down shows its history, most recent first; Down again and Enter pick "cpp".
tab_to 'Edit|' || fail "the name box is reached with Tab after the restart"
history=$(read_window history)
[ "$history" = "a
cpp" ] || fail "the name history, most recent first:
$history"
# Up in the closed box leaves the typed text as it is (the "y" typed after shows Up was
# handled); Alt+Down opens the list and Alt+Up closes it.
xdotool type --delay 30 zz
xdotool key Up
xdotool type y
focus_is 'Edit|zzy' || fail "Up in the closed name box keeps the typed text: [$(focus)]"
[ "$(read_window dropped)" = no ] || fail "Up opened the name box's list"
xdotool key alt+Down
wait_for yes read_window dropped || fail "Alt+Down opens the name box's list"
# The keys then go to the list, not to the window's menu.
xdotool key Down Return
focus_is 'Edit|a' || fail "Down and Enter after Alt+Down pick the first entry: [$(focus)]"
xdotool key alt+Down
wait_for yes read_window dropped || fail "Alt+Down opens the name box's list again"
xdotool key alt+Up
wait_for no read_window dropped || fail "Alt+Up closes the name box's list"
xdotool key End
xdotool type q
focus_is 'Edit|aq' || fail "typing after Alt+Up reaches the name box: [$(focus)]"
xdotool key ctrl+a BackSpace
xdotool key Down
sleep 0.5
xdotool key Down
sleep 0.3
xdotool key Down
sleep 0.3
xdotool key Return
focus_is 'Edit|cpp' || fail "Down, Down, Down, Enter picks the earlier name: [$(focus)]"
[ -z "$(read_window status 0)" ] || fail "picking from the list started a search"
xdotool key Return
if wait_done 20; then
    rows=$(read_window rows)
    [ "$rows" = "a.cpp|C:\\$work\\|1 b
e.cpp|C:\\$work\\src\\|1 b" ] || fail "the picked name's rows:
$rows"
else
    fail "the search for the picked name did not end"
fi

# Delete on a highlighted entry removes it from the history for good, and from the field,
# which shows what was typed before the list opened.
xdotool key ctrl+a BackSpace
xdotool type --delay 30 zz
xdotool key Down
sleep 0.5
xdotool key Down
sleep 0.3
xdotool key Delete Escape
focus_is 'Edit|zz' || fail "Delete on the highlighted entry puts the typed text back: [$(focus)]"
history=$(read_window history)
[ "$history" = "a" ] || fail "Delete on the highlighted entry removes it:
$history"
close_quennet || fail "the program ended when its window closed"
start_quennet
tab_to 'Edit|' || fail "the name box is reached with Tab after the second restart"
history=$(read_window history)
[ "$history" = "a" ] || fail "the removed entry stays removed:
$history"
import -window root "${TMPDIR:-/tmp}/quennet-filters-default.png"

# The smallest window the program allows, its corner dragged far up and left: the panel
# scrolls, and its last control can be reached (and is shown) with Tab.
read -r _ _ right bottom <<<"$(read_window rect)"
xdotool mousemove $((right - 2)) $((bottom - 2)) mousedown 1
for step in 1 2 3 4; do
    sleep 0.1
    xdotool mousemove $((right - 2 - 250 * step)) $((bottom - 2 - 250 * step))
done
sleep 0.2
xdotool mouseup 1
sleep 1
tab_to 'TGradientButton|About' || fail "About is reached with Tab in the shortest window"
read -r left top _ _ <<<"$(read_window rect)"
xdotool mousemove $((left + 60)) $((top + 80)) click --repeat 22 --delay 50 5 # the wheel, down to the filters
sleep 0.5
import -window root "${TMPDIR:-/tmp}/quennet-filters-minimum.png"
echo "screenshots: ${TMPDIR:-/tmp}/quennet-filters-default.png ${TMPDIR:-/tmp}/quennet-filters-minimum.png"

close_quennet || fail "the program ended when its window closed"
forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all filter checks passed"
[ "$failures" = 0 ]
