#!/bin/sh
# Escape on the real keyboard through X: it cancels the folder picker, as its close box does,
# and closes the hex viewer. In the viewer, F3 finds the next match or says none is left
# (Escape stops it in a huge file), and Ctrl+G goes to an offset; it keeps the user's size.
# Usage: escape-xdotool.sh folderpick-demo.exe hexview-demo.exe WORKDIR
set -u
picker=$1
viewer=$2
dir=$3
command -v xdotool >/dev/null || { echo "skipped: xdotool missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }
run="$(dirname "$0")/../../scripts/wine-run.sh"
. "$(dirname "$0")/../../scripts/wine-env.sh"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# True when process $1 ends within 10 seconds; otherwise it is ended.
ends() {
    for _ in $(seq 40); do
        kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
        sleep 0.25
    done
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 1
}

out=$(mktemp)
"$run" "$picker" 1 >"$out" 2>/dev/null &
pid=$!
timeout 30 xdotool search --sync --onlyvisible --name "Browse for folder" >/dev/null
sleep 1
xdotool key Escape
ends $pid || fail "Escape closes the picker"
got=$(head -n 1 "$out" | tr -d '\r')
[ "$got" = Cancel ] || fail "Escape cancels the picker: [$got]"

mkdir -p "$dir"
printf 'Hello, viewer' >"$dir/view.txt"
"$run" "$viewer" "$(quennet_winpath "$dir/view.txt")" >/dev/null 2>&1 &
pid=$!
timeout 30 xdotool search --sync --onlyvisible --name "Viewing:" >/dev/null
sleep 1
xdotool key Escape
ends $pid || fail "Escape closes the hex viewer"

# F3 finds the next occurrence of the searched phrase; Ctrl+G goes to a typed offset.
head -c 70000 /dev/zero | tr '\0' . >"$dir/find.bin"
printf needle | dd of="$dir/find.bin" bs=1 seek=4660 conv=notrunc 2>/dev/null
printf NEEDLE | dd of="$dir/find.bin" bs=1 seek=60000 conv=notrunc 2>/dev/null
opened="find.bin 4660 6"
# The keys ($@) pressed in a viewer opened at $opened (file, match, length); prints its selection.
viewer_keys() {
    read -r file at length <<EOF
$opened
EOF
    "$run" "$viewer" "$(quennet_winpath "$dir/$file")" "$at" "$length" needle >"$out" 2>/dev/null &
    pid=$!
    timeout 30 xdotool search --sync --onlyvisible --name "Viewing:" >/dev/null
    sleep 1
    for key in "$@"; do
        case $key in
        type:*) xdotool type --delay 40 "${key#type:}" ;;
        title:*) xdotool search --onlyvisible --name "${key#title:}" >/dev/null || echo "no title [${key#title:}]" ;;
        *) xdotool key "$key" ;;
        esac
        sleep 0.7
    done
    xdotool key Escape
    ends $pid || fail "the viewer closes after $*"
    tr -d '\r' <"$out"
}
got=$(viewer_keys F3)
[ "$got" = "selection 60000 60005 cursor 60000" ] || fail "F3 selects the next match, case folded: [$got]"
# Past the last match F3 says so in the caption, not only with a beep.
got=$(viewer_keys F3 F3 "title:No more matches")
[ "$got" = "selection 60000 60005 cursor 60000" ] || fail "F3 past the last match says so: [$got]"
# In a UTF-16 file (its byte-order mark first) F3 finds the phrase's UTF-16 form, as the search.
{ printf '\377\376'; printf 'x.needle...NEEDLE' | iconv -f ascii -t utf-16le; } >"$dir/wide.txt"
opened="wide.txt 6 12"
got=$(viewer_keys F3)
[ "$got" = "selection 24 35 cursor 24" ] || fail "F3 selects the next UTF-16 match: [$got]"
opened="find.bin 4660 6"
got=$(viewer_keys ctrl+g type:0x1000 Return)
[ "$got" = "selection -1 -1 cursor 4096" ] || fail "Ctrl+G goes to a hexadecimal offset: [$got]"
got=$(viewer_keys ctrl+g type:69999 Return)
[ "$got" = "selection -1 -1 cursor 69999" ] || fail "Ctrl+G goes to a decimal offset: [$got]"
# Ctrl+G shows the last offset selected: typing replaces it (7, not 57).
got=$(viewer_keys ctrl+g type:5 Return ctrl+g type:7 Return)
[ "$got" = "selection -1 -1 cursor 7" ] || fail "Ctrl+G's text is selected on opening: [$got]"
# F3 from the first byte, nothing selected: a match right there is found.
printf 'needle, then needle' >"$dir/first.txt"
opened="first.txt 0 0"
got=$(viewer_keys F3)
[ "$got" = "selection 0 5 cursor 0" ] || fail "F3 finds a match at the cursor's byte 0: [$got]"
# F3 in a file of 200 GB: the window answers while it reads, and Escape stops it (the match
# at the very end is not reached); the next Escape closes the viewer.
truncate -s 200G "$dir/huge.bin"
printf needle | dd of="$dir/huge.bin" bs=1 seek=$((200 * 1024 * 1024 * 1024 - 6)) conv=notrunc 2>/dev/null
opened="huge.bin 0 0"
got=$(viewer_keys F3 Escape)
[ "$got" = "selection -1 -1 cursor 0" ] || fail "Escape stops F3 in a file of 200 GB: [$got]"
rm -f "$dir/huge.bin"

# The viewer as the user leaves it, over three openings: made larger by its corner, then
# maximised by a double click on its caption. Each opening went back to 804 x 412, and a
# maximised viewer came back at that size still flagged maximised.
geometry() { # X Y WIDTH HEIGHT of the viewer, once it shows
    sleep 1
    id=$(timeout 30 xdotool search --sync --onlyvisible --name "Viewing:" | head -n 1)
    xdotool getwindowgeometry --shell "$id" | awk -F= '/^(X|Y|WIDTH|HEIGHT)=/ { printf "%s ", $2 }'
}
size() { geometry | cut -d' ' -f3,4; }
HEXVIEW_DEMO_OPENINGS=3 "$run" "$viewer" "$(quennet_winpath "$dir/find.bin")" >/dev/null 2>&1 &
pid=$!
set -- $(geometry)
xdotool mousemove $(($1 + $3 - 3)) $(($2 + $4 - 3)) mousedown 1
for step in 1 2 3; do
    xdotool sleep 0.2 mousemove $(($1 + $3 - 3 + 50 * step)) $(($2 + $4 - 3 + 40 * step))
done
xdotool sleep 0.2 mouseup 1
larger=$(size)
[ "${larger% *}" -gt 900 ] || fail "the corner drag makes the viewer larger: [$larger]"
xdotool key Escape
[ "$(size)" = "$larger" ] || fail "the viewer made larger [$larger] keeps its size: [$(size)]"
set -- $(geometry)
xdotool mousemove $(($1 + $3 / 2)) $(($2 + 8)) click --repeat 2 --delay 80 1
maximised=$(size)
[ "${maximised% *}" -ge 1270 ] || fail "a double click on the caption maximises the viewer: [$maximised]"
xdotool key Escape
[ "$(size)" = "$maximised" ] || fail "the viewer maximised [$maximised] comes back so: [$(size)]"
[ -n "${SCREENSHOT:-}" ] && import -window root "$SCREENSHOT"
# Alone on the desktop, the demo's viewer reopens without the keyboard: its caption is clicked.
set -- $(geometry)
xdotool mousemove $(($1 + $3 / 2)) $(($2 + 10)) click 1 sleep 0.3 key Escape
ends $pid || fail "the viewer closes after its third opening"
rm -f "$out"

[ "$failures" = 0 ] && echo "Escape closed the picker and the viewer; F3 and Ctrl+G moved the selection; the size was kept"
[ "$failures" = 0 ]
