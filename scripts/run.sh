#!/usr/bin/env bash
# The main job: builds quennet.exe and runs it under Wine, FOLDER being the folder to look in.
# Without a display it says so, runs the window on a virtual display, searches FOLDER there,
# prints the status bar and the first rows, and saves a screenshot of the window.
# Usage: scripts/run.sh [FOLDER]   (default: this repository)
# On Windows, run build\windows\mainwindow\quennet.exe [FOLDER] directly.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:-$root}
bash "$root/scripts/install-deps.sh" xdotool imagemagick || exit 1
build=$root/build/windows
# Only what this job runs: the program and the probe that drives it without a display, not
# the tests (scripts/build.sh windows builds everything).
log=$(mktemp)
echo "Building quennet.exe in $build (the first build takes a few minutes; later ones, seconds)."
# The build's progress ([step/steps]): on a terminal one line kept up to date, elsewhere a
# line at every tenth of the way. The whole output is shown only when the build fails.
progress() {
    local tty=0
    [ -t 1 ] && tty=1
    awk -v tty=$tty '/^\[[0-9]+\/[0-9]+\]/ {
        split(substr($1, 2), step, "/")
        done = int(100 * step[1] / step[2])
        if (tty) printf "\r%s ", $1
        else if (done >= shown) { print "build " $1; shown = done - done % 10 + 10 }
        fflush()
    }
    END { if (tty && NR) print "" }'
}
set -o pipefail
if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
             -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" &&
       cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target quennet window-probe; } 2>&1 |
       tee "$log" | progress; then
    cat "$log" >&2
    rm -f "$log"
    echo "scripts/run.sh: the build of quennet.exe failed (output above)" >&2
    exit 1
fi
rm -f "$log"
source "$root/scripts/wine-env.sh"
winfolder=$(quennet_winpath "$folder")
run=$root/scripts/wine-run.sh
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$run" "$build/mainwindow/quennet.exe" "$winfolder"
fi

echo "No display: running Quennet on a virtual display (Xvfb) and searching $folder there."
unset DISPLAY
source "$root/scripts/xvfb.sh" || exit 1
"$run" "$build/bench/window-probe.exe" --show "$build/mainwindow/quennet.exe" "$winfolder" || exit 1
shot=${TMPDIR:-/tmp}/quennet-window.png
import -window root "$shot" && echo "Screenshot of the window: $shot"
"$run" "$build/bench/window-probe.exe" --close
# The prefix's wineserver ends with its programs.
WINEPREFIX=$build/wineprefix "$QUENNET_WINESERVER" -w 2>/dev/null
[ -n "${QUENNET_XVFB_PID:-}" ] && kill "$QUENNET_XVFB_PID" 2>/dev/null
exit 0
