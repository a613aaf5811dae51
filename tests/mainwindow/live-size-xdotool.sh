#!/usr/bin/env bash
# A minimum size raised with the mouse during a search takes effect for the files tested after
# it, through X as a user would: "Specify size" ticked, a search over many empty files, one
# click on the minimum's up arrow. The rows are read from outside once the search is done.
# Usage: live-size-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"

read_window visible >/dev/null # makes the prefix on first use
work=quennet-live-size-$$
folder=$prefix/drive_c/$work
# Folders of empty files, each with one file of 2 KB: a folder walked whole after the click
# lists its 2 KB file alone.
folders=240
per_folder=500
mkdir -p "$folder"
for d in $(seq -w $folders); do
    mkdir "$folder/d$d"
    (cd "$folder/d$d" && seq -f "e%04g" $per_folder | xargs touch && head -c 2048 /dev/zero >kept.bin)
done
forget_settings
start_quennet "C:\\$work"

tab_to 'TGlyphCheck|Specify size (in KB)' || fail "Specify size is reached with Tab"
xdotool key space
sleep 0.3
read -r x y <<<"$(read_window spinup 1)"
xdotool mousemove "$x" "$y"
xdotool key Return # Enter on "Specify size" starts the search
for _ in $(seq 80); do
    [ "$(read_window status 0)" = Searching... ] && break
    sleep 0.1
done
xdotool click 1
wait_done 120 || fail "the search ended"
focus_is 'Edit|1' || fail "the minimum reads 1 after the click: [$(focus)]"

# The rows in walk order: the empty files tested before the click, then from the folder walked
# at the click on only the 2 KB files.
sizes=$(read_window sizes)
kept=$(grep -c '^2 KB$' <<<"$sizes")
empty=$(grep -c '^0 b$' <<<"$sizes")
after_last_empty=$(awk '$0 == "0 b" { n = 0; next } { ++n } END { print n + 0 }' <<<"$sizes")
[ "$kept" = $folders ] || fail "every 2 KB file is listed: $kept of $folders"
[ "$empty" -gt 0 ] || fail "no empty file is listed: the click came before the search, which proves nothing"
[ "$empty" -lt $((folders * per_folder)) ] || fail "every empty file is listed: the click changed nothing"
# Besides the folder being walked at the click, whole folders came after it without an empty
# file. (A tree walked whole before the click lands fails here too: it would need more folders.)
[ "$after_last_empty" -ge 3 ] || fail "empty files were listed to the end: $after_last_empty 2 KB rows after the last one"
echo "listed: $empty empty files before the click, $kept files of 2 KB, $after_last_empty of them after the last empty one"

close_quennet || fail "the program ended when its window closed"
forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "a minimum raised during the search took effect"
[ "$failures" = 0 ]
