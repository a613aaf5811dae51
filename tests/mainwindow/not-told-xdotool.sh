#!/usr/bin/env bash
# What a search leaves out is told, through the real keyboard and mouse (xdotool), read from
# another process: every file not read is listed (a click on the status bar, or the list's
# menu) in a window whose text is copied to X's clipboard; the Filters heading shows that a
# filter is on, and the status bar how many files the filters left out; "After" later than
# "Before" is refused, naming both days.
# Usage: not-told-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"
command -v xclip >/dev/null || { echo "skipped: xclip missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }

read_window visible >/dev/null # makes the prefix on first use
work=quennet-not-told-$$
folder=$prefix/drive_c/$work
mkdir -p "$folder"
# (a+)+$ on a long run of "a" that ends otherwise takes too many steps: each file is given up.
for name in a1.txt a2.txt a3.txt; do
    { head -c 30000 /dev/zero | tr '\0' a; printf '!'; } >"$folder/$name"
done
printf 'aaa\n' >"$folder/b.cpp"
forget_settings
start_quennet "C:\\$work"

xdotool key Tab
xdotool type --delay 30 '(a+)+$'
tab_to 'Button|Text' || fail "the Type group is reached with Tab"
xdotool key Down Down
focus_is 'Button|Regular expression' || fail "Regular expression is picked: [$(focus)]"
xdotool key Return
wait_done 60 || fail "the search did not end"
case $(read_window status 2) in
"3 files or folders not read, the first: "*) ;;
*) fail "the status bar counts the files not read: [$(read_window status 2)]" ;;
esac

clipboard() { xclip -selection clipboard -o 2>/dev/null | tr -d '\r'; }
list_window() { xdotool search --onlyvisible --name '^Files not read$' 2>/dev/null | head -1; }
# Every file, each with its reason, in the order the walk met them.
listed() { clipboard | sed 's/: .*/:/' | LC_ALL=C sort | tr '\n' ' '; }
expected_list="C:\\$work\\a1.txt: C:\\$work\\a2.txt: C:\\$work\\a3.txt: "
check_list() {
    wait_for 1 sh -c "[ -n \"\$(xdotool search --onlyvisible --name '^Files not read$' 2>/dev/null)\" ] && echo 1" ||
        { fail "$1 opens the list of files not read"; return; }
    sleep 0.5
    printf '' | xclip -selection clipboard
    xdotool key alt+c
    wait_for "$expected_list" listed || fail "$1: the list copied names every file: [$(clipboard)]"
    clipboard | grep -q -v ': .' && fail "$1: each line gives a reason: [$(clipboard)]"
    xdotool key Escape
    wait_for "" list_window || fail "$1: Escape closes the list"
}
read -r x y <<<"$(read_window statuspanel 2)"
xdotool mousemove "$x" "$y" click 1
check_list "a click on the status bar"
tab_to 'SysListView32|' || fail "the list is reached with Tab"
choose_in_menu r
check_list "the menu's \"Files not read\""
[ -n "${SCREENSHOT:-}" ] && import -window root "$SCREENSHOT"

# Filters: ".cpp" matches no whole name; "," separates masks as ";" does.
[ "$(read_window label Filters)" = "Filters" ] || fail "no filter, a plain heading: [$(read_window label Filters)]"
tab_to 'TGlyphCheck|Specify size (in KB)' || fail "the size range is reached with Tab"
xdotool key Tab
xdotool type --delay 30 '.cpp'
wait_for "Filters (in use)" read_window label Filters || fail "the heading shows a filter is on: [$(read_window label Filters)]"
xdotool key Return
wait_done 60 || fail "the filtered search did not end"
[ "$(read_window status 2)" = "4 files left out by the filters." ] ||
    fail "the status bar says the filters left every file out: [$(read_window status 2)]"
xdotool key ctrl+a
xdotool type --delay 30 '*.cpp, *.h'
xdotool key Return
wait_done 60 || fail "the search with two masks did not end"
[ "$(read_window rows | cut -d'|' -f1)" = b.cpp ] || fail "a comma separates masks: [$(read_window rows)]"
[ "$(read_window status 2)" = "3 files left out by the filters." ] ||
    fail "the status bar counts the files left out: [$(read_window status 2)]"
xdotool key ctrl+a BackSpace
wait_for "Filters" read_window label Filters || fail "an emptied box: the plain heading again"

# "After" a year after "Before": refused before anything starts, naming both days.
tab_to 'TGlyphCheck|After' || fail "After is reached with Tab"
xdotool key space Tab
xdotool key Right Right Right
sleep 0.3
xdotool key Up # a year on
xdotool key Tab
focus_is 'TGlyphCheck|Before' || fail "Before follows: [$(focus)]"
xdotool key space Return
box=
for _ in $(seq 40); do
    box=$(read_window box Error)
    [ -n "$box" ] && break
    sleep 0.25
done
next_year=$(date +%Y-%m-%d -d '+1 year')
today=$(date +%Y-%m-%d)
[ "$box" = "Error: the earliest change date ($next_year 00:00:00) is later than the latest ($today 23:59:59) !" ] ||
    fail "reversed days are refused, naming both: [$box]"
xdotool key Return
sleep 0.5

close_quennet || fail "the window closes"
forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all checks of what the user is told passed"
[ "$failures" = 0 ]
