#!/usr/bin/env bash
# A running search stopped from the keyboard, through X as a user would: Escape from wherever
# the focus is, Enter from each criterion that keeps the focus while a search runs. Then the
# look-in box read from outside: its text starts at the beginning when it has no focus; then
# Alt+F4 while the mouse holds the title bar (the system's move loop) ends the program. Last,
# a folder searched twice, however spelt, is one entry of the look-in list.
# Usage: search-keys-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"

read_window visible >/dev/null # makes the prefix on first use
work=quennet-search-keys-$$
folder=$prefix/drive_c/$work
mkdir -p "$folder"
# A sparse file, read piece by piece for a phrase it does not hold: a search that runs far
# longer than the test and stops between two pieces. It takes no room on the disk.
truncate -s 200G "$folder/long.bin"
forget_settings
start_quennet "C:\\$work"
# The look-in box without the focus shows a long folder path from its beginning: the one
# given at start-up, again after searches, and one typed and left with Tab.
[ "$(read_window lookin)" = "0|C:\\$work" ] || fail "the start-up folder reads from its beginning: [$(read_window lookin)]"

# Waits until the search runs (panel 0 "Searching..."); false after $1 seconds.
wait_searching() {
    for _ in $(seq $(( ${1:-10} * 4 ))); do
        [ "$(read_window status 0)" = Searching... ] && return 0
        sleep 0.25
    done
    return 1
}

# Escape stops it: $1 names the place the focus is.
escape_stops() {
    xdotool key Escape
    wait_done 10 || fail "Escape from $1 stops the search"
}

# The phrase "x"; Enter in it starts the search, and the field, now disabled, loses the focus.
xdotool key Tab
xdotool type --delay 30 x
xdotool key Return
wait_searching || fail "Enter in the phrase field starts a search"
focus_is '|' || fail "the disabled phrase field kept the focus: [$(focus)]"
escape_stops "no focus"
# The search's end gives the focus back to the field it started from: typing goes on there.
focus_is 'Edit|x' || fail "the focus comes back to the phrase field: [$(focus)]"
xdotool type --delay 30 y
focus_is 'Edit|xy' || fail "typing after the search reaches the phrase field: [$(focus)]"
xdotool key BackSpace

# Escape from the results list and from the About button, which keep the focus.
for place in 'SysListView32|' 'TGradientButton|About'; do
    tab_to 'TGlyphCheck|Specify size (in KB)' || fail "Specify size is reached with Tab"
    xdotool key Return
    wait_searching || fail "Enter on Specify size starts a search"
    tab_to "$place" || fail "$place is reached with Tab during a search"
    escape_stops "$place"
done

# Enter stops it from each criterion that keeps the focus: Specify size, then (ticked) the
# two size boxes.
tab_to 'TGlyphCheck|Specify size (in KB)'
xdotool key space
for place in 'TGlyphCheck|Specify size (in KB)' 'Edit|0' 'Edit|0'; do
    xdotool key Return
    wait_searching || fail "Enter on $place starts a search"
    xdotool key Return
    wait_done 10 || fail "Enter on $place stops the search"
    focus_is "$place" || fail "the focus stays where the search was stopped: [$(focus)] not $place"
    xdotool key Tab
    sleep 0.2
done
[ -z "$(read_window rows)" ] || fail "no row is listed"
# Escape from a size box, a multi-line edit that takes every other key.
xdotool key shift+Tab
focus_is 'Edit|0' || fail "the maximum size box is reached with Shift+Tab: [$(focus)]"
xdotool key Return
wait_searching || fail "Enter in the maximum size box starts a search"
escape_stops "the maximum size box"

tab_to 'TGradientButton|Search' # through the look-in box
lookin=$(read_window lookin)
[ "$lookin" = "0|C:\\$work" ] || fail "the folder reads from its beginning after searches: [$lookin]"
tab_to "Edit|C:\\$work" || fail "the look-in box is reached with Tab"
xdotool key ctrl+a
xdotool type --delay 20 "C:\\$work\\..\\$work"
xdotool key Tab
wait_for "0|C:\\$work\\..\\$work" read_window lookin || fail "a typed path, left, reads from its beginning: [$(read_window lookin)]"
[ -n "${SCREENSHOT:-}" ] && import -window root "$SCREENSHOT"

# Alt+F4 while the mouse holds the title bar: the move loop must not keep the process alive.
read -r left top right _ <<<"$(read_window rect)"
xdotool mousemove $(( (left + right) / 2 )) $(( top + 10 ))
xdotool mousedown 1
sleep 0.5
close_quennet || fail "Alt+F4 in the move loop ends the program"
xdotool mouseup 1

# A folder searched again is not listed again: a path of more than 520 bytes, and the same
# folder typed with a separator at its end.
long="$work\\$(printf 'a%.0s' $(seq 200))\\$(printf 'b%.0s' $(seq 200))\\$(printf 'c%.0s' $(seq 200))"
mkdir -p "$prefix/drive_c/${long//\\//}"
: >"$prefix/drive_c/${long//\\//}/f.txt"
start_quennet "C:\\$long"
entries=$(read_window lookincount)
xdotool type --delay 30 nothing
xdotool key Return
wait_done 20 || fail "the search of the long path ends"
[ "$(read_window lookincount)" = "$entries" ] || fail "searching the long path adds no entry: $(read_window lookincount) not $entries"
# Then every file, so that the search's end shows.
xdotool key ctrl+a BackSpace
tab_to "Edit|C:\\$long" || fail "the look-in box is reached with Tab"
xdotool key End backslash Return
row_count() { read_window rows | wc -l; }
wait_for 1 row_count || fail "the search of the long path with a separator lists its file"
[ "$(read_window lookincount)" = "$entries" ] || fail "a separator at the end adds no entry: $(read_window lookincount) not $entries"
close_quennet || fail "the program ended when its window closed"

forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all search-key checks passed"
[ "$failures" = 0 ]
