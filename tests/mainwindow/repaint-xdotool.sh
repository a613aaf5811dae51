#!/bin/bash
# The main window resized as a user does it, with the real mouse through X: the splitter
# dragged wider and back, the frame's corner dragged out and in, a double click on the
# caption to maximise and another to restore. After each, the window must look exactly as it
# does when repainted from scratch (repaint-probe compares the two captures). Ctrl+A in the
# list must show every row selected, though the list's drawing is held while it changes. Last, the corner
# dragged far up and left: the window stops at a size where the panel and the list's header
# stay usable.
# Usage: repaint-xdotool.sh quennet.exe repaint-probe.exe
set -u
quennet=$(realpath "$1")
probe=$(realpath "$2")
command -v xdotool >/dev/null || { echo "skipped: xdotool missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)
run=$here/../../scripts/wine-run.sh
source "$here/../../scripts/wine-env.sh"
work=$(mktemp -d)
failed=0

# reg.exe runs in the program's prefix (wine-run.sh finds it from the build beside the program).
build=$(dirname "$quennet")
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
export QUENNET_WINEPREFIX=${QUENNET_WINEPREFIX:-$build/wineprefix}
forget_settings() { "$run" reg delete 'HKCU\Software\Morvane\Quennet' /f >/dev/null 2>&1; }
where() { eval "$("$run" "$probe" where | tr -d '\r')"; }
stale() { # NAME: what the last action left on screen against a full repaint
    local out
    out=$(cd "$work" && "$run" "$probe" stale "$1" | tr -d '\r')
    echo "$out"
    case $out in *" 0 stale pixels"*) ;; *) failed=1 ;; esac
}
drag() { # X Y DX DY: press, move in four steps (not off the screen), release
    local i x y
    xdotool mousemove "$1" "$2" mousedown 1
    for i in 1 2 3 4; do
        sleep 0.1
        x=$(($1 + $3 * i / 4)); y=$(($2 + $4 * i / 4))
        xdotool mousemove $((x < 0 ? 0 : x)) $((y < 0 ? 0 : y))
    done
    sleep 0.2
    xdotool mouseup 1
    sleep 0.5
}
settle() { # CONDITION, quoted to be expanded late: reads the window until it holds (20 s at most)
    local _
    for _ in $(seq 40); do
        where
        eval "[ $1 ]" && return 0
        sleep 0.5
    done
    return 1
}
expect() { # DESCRIPTION CONDITION
    if eval "[ $2 ]"; then echo "ok: $1"; else echo "FAILED: $1 ($2)"; failed=1; fi
}

for i in $(seq 10 49); do : >"$work/row$i.txt"; done
forget_settings
"$run" "$quennet" "$(quennet_winpath "$work")" >/dev/null 2>&1 &
pid=$!
timeout 30 xdotool search --sync --onlyvisible --name "Quennet by Ketrel" >/dev/null
sleep 2
where
# A search of the folder fills the list, and the status bar's panels with texts to be cut through.
xdotool mousemove "$search_x" "$search_y" click 1
sleep 1
# The focus goes to the list, so that no caret blinks between two captures.
xdotool mousemove $((list_left + 40)) $((list_top + 60)) click 1
sleep 0.3
xdotool key ctrl+a
sleep 0.5
stale select-all
panel_before=$panel_width

drag "$splitter_x" "$splitter_y" 90 0
settle '$panel_width -gt $panel_before'
expect "the splitter widened the panel" "$panel_width -gt $panel_before"
stale splitter-wider
drag "$splitter_x" "$splitter_y" -90 0
stale splitter-back

width_before=$((form_right - form_left))
drag $((form_right - 2)) $((form_bottom - 2)) 120 60
settle '$((form_right - form_left)) -gt $width_before'
expect "the corner drag widened the window" "$((form_right - form_left)) -gt $width_before"
stale frame-larger
drag $((form_right - 2)) $((form_bottom - 2)) -260 -200
stale frame-smaller

xdotool mousemove $((form_left + 300)) $((form_top + 10)) click --repeat 2 --delay 100 1
settle '$maximized -eq 1'
expect "a double click on the caption maximised the window" "$maximized -eq 1"
stale maximised
xdotool mousemove $((form_left + 300)) $((form_top + 10)) click --repeat 2 --delay 100 1
settle '$maximized -eq 0'
expect "a second double click restored it" "$maximized -eq 0"
stale restored

drag $((form_right - 2)) $((form_bottom - 2)) -1000 -1000
where
echo "smallest window: $((form_right - form_left)) x $((form_bottom - form_top)), client $client_width x $client_height"
expect "the list keeps the splitter's minimum width" "$list_width -ge 155"
expect "the list's header spans the list's client area" "$header_width -ge $list_client_width"
expect "the list shows its header and a row below it" "$list_height -ge $((header_height + 40))"
expect "the panel shows a whole group of controls" "$panel_height -ge 140"
stale smallest

"$run" "$probe" close >/dev/null 2>&1
wait $pid 2>/dev/null
forget_settings
[ $failed -eq 0 ] && rm -rf "$work" || echo "captures kept in $work"
exit $failed
