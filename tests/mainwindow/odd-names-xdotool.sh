#!/usr/bin/env bash
# Files whose names Windows paths cannot say, each beside the file Windows would take it for
# (`trailing dot.` beside `trailing dot`, `tspace ` beside `tspace`, `back\slash.txt` beside
# the folder `back` holding `slash.txt`), acted on through the real keyboard (xdotool): Delete,
# Notepad, Move and Copy refuse each with a message that says why, keep its row, and touch no
# file, the other one least of all. Checked on disk and in the Recycle Bin.
# Usage: odd-names-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"

read_window visible >/dev/null # makes the prefix on first use
work=quennet-odd-$$
folder=$prefix/drive_c/$work
dest=$prefix/drive_c/$work-dest
mkdir -p "$folder/back" "$dest"
odd=("trailing dot." "tspace " 'back\slash.txt')
others=("trailing dot" "tspace" "back/slash.txt")
for name in "${odd[@]}" "${others[@]}"; do printf 'I am %s' "$name" >"$folder/$name"; done
forget_settings
trash_info=${XDG_DATA_HOME:-$HOME/.local/share}/Trash/info

# Waits for the message box titled $1 and prints its text; nothing when none showed in 20 s.
box_text() {
    for _ in $(seq 80); do
        text=$(read_window box "$1")
        [ -n "$text" ] && { echo "$text"; return; }
        sleep 0.25
    done
}

start_quennet "C:\\$work"
xdotool key Return
wait_done 20 || fail "the search did not end"
tab_to 'SysListView32|' || fail "the list is reached with Tab"
rows_before=$(read_window rows)
[ "$(wc -l <<<"$rows_before")" = 6 ] || fail "six rows are listed: [$rows_before]"
mapfile -t names < <(cut -d'|' -f1 <<<"$rows_before")

# Selects the row named $1 alone with Home and Down.
select_row() {
    local j
    xdotool key Home
    for j in "${!names[@]}"; do
        [ "${names[$j]}" = "$1" ] && break
        xdotool key Down
    done
}

reasons=("its name ends in a dot" "its name ends in a space" "its name holds a backslash")
for i in "${!odd[@]}"; do
    name=${odd[$i]}
    select_row "$name"
    wait_for "$name" read_window selected || { fail "[$name] is chosen: [$(read_window selected)]"; continue; }

    xdotool key Delete # refused at once: no question about a file that stays
    text=$(box_text Error)
    [[ $text == "These files were not deleted:"*"$work\\$name: ${reasons[$i]}"*"it would reach another file." ]] ||
        fail "Delete of [$name] is refused and says why: [$text]"
    xdotool key Return
    sleep 0.5

    # Notepad would open the other file.
    choose_in_menu n 1
    text=$(box_text Error)
    [[ $text == "This file was not opened:"*"$work\\$name: ${reasons[$i]}"* ]] ||
        fail "Notepad on [$name] is refused and says why: [$text]"
    xdotool key Return
    sleep 0.5
    [ -z "$(xdotool search --onlyvisible --name Notepad 2>/dev/null)" ] || fail "no Notepad opened for [$name]"

    for key in m c; do
        choose_in_menu "$key" 1
        # The destination dialog opens with its button focused: Tab to the folder, type another.
        xdotool key Tab ctrl+a
        xdotool type --delay 20 "C:\\$work-dest"
        xdotool key Tab Return
        text=$(box_text Error)
        [[ $text == "These files could not be "*"$work\\$name: ${reasons[$i]}"* ]] ||
            fail "menu key $key on [$name] is refused and says why: [$text]"
        xdotool key Return
        sleep 0.5
    done
done

[ "$(read_window rows)" = "$rows_before" ] || fail "every row stays: [$(read_window rows)]"
for name in "${odd[@]}" "${others[@]}"; do
    [ "$(cat "$folder/$name" 2>/dev/null)" = "I am $name" ] || fail "[$name] is untouched"
done
[ -z "$(ls -A "$dest")" ] || fail "nothing reached the destination: [$(ls -A "$dest")]"
! grep -rqsF "/$work/" "$trash_info" || fail "nothing went to the recycle bin"

close_quennet || fail "the program ended when its window closed"
forget_settings
rm -rf "$folder" "$dest"
[ "$failures" = 0 ] && echo "all odd-name checks passed"
[ "$failures" = 0 ]
