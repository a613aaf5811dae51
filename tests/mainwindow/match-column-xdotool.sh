#!/usr/bin/env bash
# The matched part is in view at the window's first size: the "Match" column lies inside the
# window, and a match 130 characters into its line, or after a long indent, is painted in its
# colour inside the cell (read from a screenshot), the cell's text starting shortly before it.
# Usage: match-column-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"
{ command -v import && command -v convert; } >/dev/null ||
    { echo "skipped: ImageMagick missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }

read_window visible >/dev/null # makes the prefix on first use
work=quennet-column-$$
folder=$prefix/drive_c/$work
mkdir -p "$folder"
{ head -c 130 /dev/zero | tr '\0' x; printf ' the needle here\n'; } >"$folder/far.txt"
{ head -c 90 /dev/zero | tr '\0' ' '; printf 'return needle;\n'; } >"$folder/indented.txt"
forget_settings # the first run's size and columns
start_quennet "C:\\$work"
xdotool key Tab
xdotool type --delay 30 needle
xdotool key Return
wait_done 20 || fail "the search did not end"
wait_for 2 sh -c "'$run' '$reader' matches 2>/dev/null | grep -c needle" || fail "two rows with lines"

read -r _ _ window_right _ <<<"$(read_window rect)"
shot=$(mktemp --suffix=.png)
import -window root "$shot"
[ -n "${SCREENSHOT:-}" ] && cp "$shot" "$SCREENSHOT"
for row in 0 1; do
    read -r left top right bottom <<<"$(read_window matchcell $row)"
    [ "$right" -le "$window_right" ] || fail "row $row: the Match cell ends at $right, past the window's $window_right"
    red=$(convert "$shot" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage txt:- | grep -ci '#C00000')
    [ "$red" -gt 10 ] || fail "row $row: the matched part is painted inside its cell ($red pixels of its colour)"
done
rm -f "$shot"
close_quennet || fail "the window closes"
forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all match-column checks passed"
[ "$failures" = 0 ]
