#!/usr/bin/env bash
# A regular-expression search through the real keyboard (xdotool), read from another process:
# "Regular expression" picked with the arrow keys in the Type group (through HEX and back, which
# keeps the typed pattern), Enter; the rows read back; a row opened in the viewer with its match
# selected (copied with Ctrl+C and read from X's clipboard), and F3 selects the next match of
# the same expression. Then a leading .* on a file of 24 MB without a line break: the search
# ends, without a row.
# Usage: regex-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"
command -v xclip >/dev/null || { echo "skipped: xclip missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }

read_window visible >/dev/null # makes the prefix on first use
work=quennet-regex-$$
folder=$prefix/drive_c/$work
mkdir -p "$folder"
printf 'no match here\nid Quokka_12_Needle and quokka_7_needle\n' >"$folder/a.txt"
printf 'Quokka__Needle\n' >"$folder/b.txt" # \w+ needs a character: no row
printf 'x\r\nQUOKKA_x_NEEDLE\r\n' >"$folder/c.txt"
head -c $((24 << 20)) /dev/zero >"$folder/zeros.bin"
forget_settings
start_quennet "C:\\$work"

xdotool key Tab
xdotool type --delay 30 'quokka_\w+_needle'
tab_to 'Button|Text' || fail "the Type group is reached with Tab"
xdotool key Down
focus_is 'Button|HEX' || fail "Down moves to HEX: [$(focus)]"
xdotool key Down
focus_is 'Button|Regular expression' || fail "Down moves on to Regular expression: [$(focus)]"
# HEX ticked "Case sensitive", as it always does; untick it for a search that folds case.
xdotool key shift+Tab
focus_is 'TGlyphCheck|Case sensitive' || fail "Shift+Tab from the group reaches Case sensitive: [$(focus)]"
xdotool key space
# The group is one stop, its checked button: Tab enters it there and leaves it at once.
xdotool key Tab
focus_is 'Button|Regular expression' || fail "Tab enters the group at the checked button: [$(focus)]"
xdotool key Tab
sleep 0.5
case $(focus) in Button*) fail "Tab leaves the group in one stop: [$(focus)]" ;; esac
xdotool key shift+Tab
focus_is 'Button|Regular expression' || fail "Shift+Tab comes back to the group's checked button: [$(focus)]"
xdotool key Return
wait_done 20 || fail "Enter on Regular expression starts a search that ends"
names=$(read_window rows | cut -d'|' -f1 | LC_ALL=C sort | tr '\n' ' ')
[ "$names" = "a.txt c.txt " ] || fail "the rows are the files that match, case folded: [$names]"
[ -n "${SCREENSHOT:-}" ] && import -window root "$SCREENSHOT"

tab_to 'SysListView32|' || fail "the list is reached with Tab"
xdotool key Home
xdotool key Return
viewer_of() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
viewer=
for _ in $(seq 80); do
    viewer=$(viewer_of a.txt)
    [ -n "$viewer" ] && break
    sleep 0.25
done
[ -n "$viewer" ] || fail "Enter opens a.txt in the viewer"
clipboard() { xclip -selection clipboard -o 2>/dev/null; }
xdotool key ctrl+c
wait_for "Quokka_12_Needle" clipboard || fail "the viewer opens with the match selected: [$(clipboard)]"
xdotool key F3
sleep 0.5
xdotool key ctrl+c
wait_for "quokka_7_needle" clipboard || fail "F3 selects the next match of the expression: [$(clipboard)]"
xdotool key alt+F4
wait_for "" viewer_of a.txt || fail "Alt+F4 closes the viewer"

tab_to 'Edit|quokka_\w+_needle' || fail "the phrase box is reached with Tab: [$(focus)]"
xdotool key ctrl+a
xdotool type --delay 30 '.*NOTHERE'
xdotool key Return
wait_done 60 || fail "a leading .* on 24 MB without a line break ends: [$(read_window status 0)]"
[ -z "$(read_window rows)" ] || fail "nothing matches .*NOTHERE: [$(read_window rows)]"
close_quennet || fail "the window closes"
forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all regular-expression checks passed"
[ "$failures" = 0 ]
