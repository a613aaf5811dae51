#!/usr/bin/env bash
# The "Match" column from outside: a phrase searched with the real keyboard, the cells read from
# another process hold each file's line, the saved .csv is quennet-cli --csv behind a UTF-8
# byte-order mark, and the matched part stands out where it stands in the painted cell (colours
# read from a screenshot).
# Usage: match-line-xdotool.sh quennet.exe window-reader.exe quennet-cli.exe
set -u
exe=$1
reader=$2
cli=$3
source "$(dirname "$0")/xdotool-lib.sh"
{ command -v import && command -v convert; } >/dev/null ||
    { echo "skipped: ImageMagick missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }

read_window visible >/dev/null # makes the prefix on first use
work=quennet-line-$$
folder=$prefix/drive_c/$work
out=$prefix/drive_c/$work-out
mkdir -p "$folder" "$out"
printf 'first line\r\nthe needle stands here\r\nlast\r\n' >"$folder/inner.txt"
printf 'needle, at the start\tand a tab' >"$folder/start.txt"
printf 'no match here' >"$folder/other.txt"
forget_settings
# A window wide enough for the fourth column, which starts past the other three's 623 pixels.
for value in Position-Left=0 Position-Top=0 Size-Width=1270 Size-Height=700 Self\ Adjust\ Buffer=0; do
    "$run" reg add "$settings_key" /v "${value%=*}" /t REG_DWORD /d "${value#*=}" /f >/dev/null 2>&1
done
start_quennet "C:\\$work"
[ "$(read_window rect)" = "0 0 1270 700" ] || fail "the window takes the stored size: $(read_window rect)"

xdotool key Tab
xdotool type --delay 30 needle
xdotool key Return
wait_done 20 || fail "the search did not end"
sorted_matches() { read_window matches | LC_ALL=C sort; }
expected=$'needle, at the start and a tab\nthe needle stands here'
wait_for "$expected" sorted_matches || fail "the Match cells hold the lines: [$(read_window matches)]"

# The matched part is painted in its own colour (#C00000), and where it stands: at the cell's
# start in one row, after "the " in the other.
shot=$out/shot.png
import -window root "$shot"
[ -n "${QUENNET_SCREENSHOT:-}" ] && cp "$shot" "$QUENNET_SCREENSHOT"
# The leftmost x of the match colour in row $1's cell, after the cell's left edge; empty if none.
first_match_x() {
    local left top right bottom
    read -r left top right bottom <<<"$(read_window matchcell "$1")"
    convert "$shot" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage txt:- |
        grep -i '#C00000' | sed 's/^\([0-9]*\),.*/\1/' | sort -n | head -1
}
row_of() { read_window matches | grep -n -x -F "$1" | cut -d: -f1; }
inner=$(first_match_x $(( $(row_of 'the needle stands here') - 1 )))
start=$(first_match_x $(( $(row_of 'needle, at the start and a tab') - 1 )))
[ -n "$inner" ] && [ -n "$start" ] || fail "the matched part is painted in its colour: [$inner] [$start]"
[ -n "$inner" ] && [ -n "$start" ] && [ "$start" -lt 12 ] && [ "$inner" -gt $((start + 10)) ] ||
    fail "the colour is on the matched part: from x $start at the start, from x $inner after \"the \""

tab_to 'SysListView32|' || fail "the list is reached with Tab"
choose_in_menu s
save_as "C:\\$work-out\\list.csv" || fail "Save list as... shows the save dialog"
wait_file "$out/list.csv" 30 || fail "the list is saved under the chosen name"
"$run" "$cli" --csv --text needle "C:\\$work" >"$out/cli.csv" 2>/dev/null
if ! cmp -s "$out/list.csv" <(printf '\xef\xbb\xbf'; cat "$out/cli.csv"); then
    fail "the window's .csv is quennet-cli --csv behind a UTF-8 byte-order mark"
    diff "$out/list.csv" "$out/cli.csv" | head -10
fi
grep -q -x -F "inner.txt,C:\\$work\\,42,42 b,16,the needle stands here"$'\r' "$out/list.csv" ||
    fail "the saved row ends with its line: $(grep inner "$out/list.csv")"
close_quennet || fail "the program ended when its window closed"

forget_settings
rm -rf "$folder" "$out"
[ "$failures" = 0 ] && echo "all match-line checks passed"
[ "$failures" = 0 ]
