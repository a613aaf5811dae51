#!/usr/bin/env bash
# The main window driven by the real keyboard through X, as a user would, and read from
# another process: the Tab cycle, a path typed into the look-in box, its list opened with
# Alt+Down and F4, a "?" in the name, the size boxes showing the numbers the search uses, and
# the buffer box keeping its selection while it is adjusted.
# Usage: keyboard-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"

read_window visible >/dev/null # makes the prefix on first use
work=quennet-keyboard-$$
folder=$prefix/drive_c/$work
mkdir -p "$folder/sub"
: >"$folder/empty.txt"
printf 'x%.0s' $(seq 1500) >"$folder/sub/big.txt"
forget_settings
start_quennet

# The look-in box, without the focus, reads from its beginning.
lookin=$(read_window lookin)
case $lookin in
"0|Local Hard Drives ("*")") ;;
*) fail "Local Hard Drives reads from its beginning: [$lookin]" ;;
esac

# Tab: one stop per visible control, the Text/HEX group one stop, in the panel's order; the
# panel and the group box take none. The name field has the focus at first. After each press
# the control expected next (a pattern) is waited for, so a busy program is read once it has
# moved; what it shows is compared below.
cycle=$(focus)
for want in 'Edit|' 'TGlyphCheck|Case sensitive' 'Button|Text' 'Edit|*' 'TGlyphCheck|Adjust automatically' \
    'TGlyphCheck|Specify size (in KB)' 'Edit|' 'Edit|' 'Edit|' 'TGlyphCheck|After' 'TGlyphCheck|Before' \
    'Edit|Local Hard Drives (*)' 'TGradientButton|Search' \
    'TGlyphCheck|Integrate into shell' 'TGradientButton|What is this ?' 'TGradientButton|About' \
    'SysListView32|' 'Edit|'; do
    xdotool key Tab
    for _ in $(seq 40); do
        now=$(focus)
        [[ $now == $want ]] && break
        sleep 0.25
    done
    cycle="$cycle
$now"
done
local_drives=$(sed -n 13p <<<"$cycle")
case $local_drives in
"Edit|Local Hard Drives ("*")") ;;
*) fail "the look-in box starts on Local Hard Drives: [$local_drives]" ;;
esac
expected="Edit|
Edit|
TGlyphCheck|Case sensitive
Button|Text
Edit|$(sed -n 5p <<<"$cycle" | cut -d'|' -f2)
TGlyphCheck|Adjust automatically
TGlyphCheck|Specify size (in KB)
Edit|
Edit|
Edit|
TGlyphCheck|After
TGlyphCheck|Before
$local_drives
TGradientButton|Search
TGlyphCheck|Integrate into shell
TGradientButton|What is this ?
TGradientButton|About
SysListView32|
Edit|"
[ "$cycle" = "$expected" ] || fail "Tab cycle:
$cycle"
# "Adjust automatically" sets the buffer box every second: only a new value is written, so
# the user's selection in the box stays.
buffer=$(sed -n 5p <<<"$cycle" | cut -d'|' -f2)
tab_to "Edit|$buffer" || fail "the buffer box is reached with Tab"
[ "$(read_window selection)" = "0 ${#buffer}" ] || fail "Tab selects the buffer box's text: [$(read_window selection)]"
sleep 2.5 # two ticks of the adjustment
[ "$(read_window selection)" = "0 ${#buffer}" ] || fail "the adjustment keeps the selection: [$(read_window selection)]"
# The arrow keys move to HEX and choose it; the group's one stop is then HEX.
tab_to 'Button|Text'
xdotool key Down
sleep 0.3
xdotool key Tab shift+Tab
focus_is 'Button|HEX' || fail "Down on Text chooses HEX: [$(focus)]"
xdotool key Up
sleep 0.3

# Alt+Down and F4 drop the look-in list; Down and Enter choose the next entry and start no
# search.
for keys in alt+Down F4; do
    tab_to "$local_drives" || fail "the look-in box is reached with Tab"
    xdotool key "$keys"
    sleep 0.5
    xdotool key Down
    sleep 0.3
    xdotool key Return
    focus_is 'Edit|C:\' || fail "$keys, Down, Enter chooses C:\\: [$(focus)]"
    sleep 1 # a search that Enter started would show by now
    [ -z "$(read_window status 0)" ] || fail "$keys, Down, Enter started a search"
    xdotool key Up
    sleep 0.3
done

# A path typed over "Local Hard Drives" is what gets searched.
tab_to "$local_drives"
xdotool key ctrl+a
xdotool type --delay 30 "C:\\$work"
xdotool key Return
if wait_done 20; then
    focus_is "Edit|C:\\$work" || fail "the focus comes back to the look-in box: [$(focus)]"
    rows=$(read_window rows | sort)
    [ "$rows" = "big.txt|C:\\$work\\sub\\|1.46 KB
empty.txt|C:\\$work\\|0 b" ] || fail "the typed folder's files are listed:
$rows"
else
    fail "the search of the typed folder did not end"
fi

# A "?" typed into the name field stands for one whole character, here an "é" of two bytes.
: >"$folder/résumé.txt"
: >"$folder/rsum.txt"
tab_to 'Edit|' || fail "the name field is reached with Tab"
xdotool type --delay 30 'r?sum?'
xdotool key Return
if wait_done 20; then
    focus_is 'Edit|r?sum?' || fail "the focus comes back to the name field: [$(focus)]"
    rows=$(read_window rows)
    [ "$rows" = "résumé.txt|C:\\$work\\|0 b" ] || fail "\"r?sum?\" finds résumé.txt alone:
$rows"
else
    fail "the search by name did not end"
fi

# Size boxes: a number beyond the range counts as the bound, and leaving the box shows it.
tab_to 'TGlyphCheck|Specify size (in KB)'
xdotool key space Tab
xdotool type --delay 30 99999999999
xdotool key Tab
sleep 0.3
xdotool key shift+Tab
focus_is 'Edit|2147483646' || fail "Min KB shows the bound it counts as: [$(focus)]"
xdotool key Return
if wait_done 20; then
    rows=$(read_window rows)
    [ -z "$rows" ] || fail "no file reaches the minimum size:
$rows"
else
    fail "the size-bounded search did not end"
fi
# Max KB: a letter is refused as it is typed; an emptied box shows the 0 that is used.
xdotool key ctrl+a BackSpace
xdotool type --delay 30 1
xdotool key Tab
sleep 0.2
xdotool key ctrl+a BackSpace Tab
sleep 0.3
xdotool key shift+Tab
focus_is 'Edit|0' || fail "an emptied Max KB shows 0 on leaving: [$(focus)]"

close_quennet || fail "the program ended when its window closed"
forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all keyboard checks passed"
[ "$failures" = 0 ]
