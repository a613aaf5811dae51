#!/bin/sh
# The viewer's size as the user leaves it, through X: its corner dragged larger, it comes back
# at that size at the next opening; maximised by a double click on its caption, it comes back
# maximised and whole.
# Usage: viewer-size-xdotool.sh hexview-demo.exe WORKDIR
set -u
viewer=$1
dir=$2
command -v xdotool >/dev/null || { echo "skipped: xdotool missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }
[ -n "${DISPLAY:-}" ] || { echo "skipped: no DISPLAY"; [ "${CI:-}" = true ] && exit 1; exit 77; }
run="$(dirname "$0")/../../scripts/wine-run.sh"
. "$(dirname "$0")/../../scripts/wine-env.sh"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
mkdir -p "$dir"
head -c 100000 /dev/zero | tr '\0' v >"$dir/size.bin"

# The viewer's window once it shows (again); its geometry as "X Y WIDTH HEIGHT".
shown() {
    for _ in $(seq 80); do
        id=$(xdotool search --onlyvisible --name "Viewing:" 2>/dev/null | head -n 1)
        [ -n "$id" ] && return 0
        sleep 0.25
    done
    return 1
}
geometry() {
    shown && xdotool getwindowgeometry --shell "$id" | awk -F= '/^(X|Y|WIDTH|HEIGHT)=/ { printf "%s ", $2 }'
}
# Escape closes the viewer; the demo opens it again at once.
reopen() {
    xdotool key Escape
    for _ in $(seq 40); do
        xdotool search --onlyvisible --name "Viewing:" >/dev/null 2>&1 || break
        sleep 0.25
    done
    shown || fail "the viewer opens again"
    sleep 1
}

HEXVIEW_DEMO_OPENINGS=3 "$run" "$viewer" "$(quennet_winpath "$dir/size.bin")" >/dev/null 2>&1 &
pid=$!
shown || fail "the viewer opens"
sleep 2
read -r x y w h <<EOF2
$(geometry)
EOF2
echo "first opening: $x $y $w $h"
xdotool mousemove $((x + w - 3)) $((y + h - 3)) mousedown 1
for step in 1 2 3; do
    sleep 0.1
    xdotool mousemove $((x + w - 3 + 50 * step)) $((y + h - 3 + 40 * step))
done
sleep 0.2
xdotool mouseup 1
sleep 1
read -r _ _ w1 h1 <<EOF2
$(geometry)
EOF2
echo "made larger: $w1 $h1"
[ "$w1" -gt "$w" ] && [ "$h1" -gt "$h" ] || fail "the corner drag makes the viewer larger"
reopen
read -r _ _ w2 h2 <<EOF2
$(geometry)
EOF2
echo "second opening: $w2 $h2"
[ "$w2 $h2" = "$w1 $h1" ] || fail "the viewer keeps its size: $w1 x $h1 came back as $w2 x $h2"

read -r x y _ _ <<EOF2
$(geometry)
EOF2
xdotool mousemove $((x + w2 / 2)) $((y + 8)) click --repeat 2 --delay 80 1
sleep 1
read -r _ _ wm hm <<EOF2
$(geometry)
EOF2
echo "maximised: $wm $hm"
[ "$wm" -ge 1270 ] || fail "a double click on the caption maximises the viewer: $wm x $hm"
reopen
read -r _ _ w3 h3 <<EOF2
$(geometry)
EOF2
echo "third opening: $w3 $h3"
[ "$w3 $h3" = "$wm $hm" ] || fail "a maximised viewer comes back maximised and whole: $wm x $hm came back as $w3 x $h3"
command -v import >/dev/null && import -window root "${TMPDIR:-/tmp}/quennet-viewer-maximised.png"
xdotool key Escape
for _ in $(seq 40); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.25
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
rm -f "$dir/size.bin"
[ "$failures" = 0 ] && echo "the viewer kept the user's size and came back maximised whole"
[ "$failures" = 0 ]
