# Helpers for the tests that drive quennet.exe with the real keyboard through X and read it
# from another process (window-reader.exe). Sourced; $exe and $reader must be set.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run=$here/../../scripts/wine-run.sh
command -v xdotool >/dev/null || { echo "skipped: xdotool missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }
[ -n "${DISPLAY:-}" ] || { echo "skipped: no DISPLAY"; [ "${CI:-}" = true ] && exit 1; exit 77; }

# The prefix wine-run.sh uses for this build.
build_dir=$(cd "$(dirname "$exe")" && pwd)
while [ "$build_dir" != / ] && [ ! -f "$build_dir/CMakeCache.txt" ]; do build_dir=$(dirname "$build_dir"); done
prefix=${QUENNET_WINEPREFIX:-$build_dir/wineprefix}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

read_window() { "$run" "$reader" "$@" 2>/dev/null | tr -d '\r'; }
focus() { read_window focus; }

settings_key='HKCU\Software\Morvane\Quennet'
forget_settings() { "$run" reg delete "$settings_key" /f >/dev/null 2>&1; }

# Starts the program (arguments passed on) and waits until its window shows.
start_quennet() {
    "$run" "$exe" "$@" >/dev/null 2>&1 &
    quennet_pid=$!
    for _ in $(seq 60); do
        [ "$(read_window visible)" = yes ] && break
        sleep 0.5
    done
    sleep 1
}

# Closes the window as Alt+F4 does and waits for the process to end.
close_quennet() {
    xdotool key alt+F4
    for _ in $(seq 40); do
        kill -0 "$quennet_pid" 2>/dev/null || break
        sleep 0.25
    done
    if kill -0 "$quennet_pid" 2>/dev/null; then
        kill "$quennet_pid" 2>/dev/null
        wait "$quennet_pid" 2>/dev/null
        return 1
    fi
    wait "$quennet_pid" 2>/dev/null
    return 0
}

# Presses Tab until the focused control reads $1 (class|text); false after $2 presses.
tab_to() {
    for _ in $(seq "${2:-20}"); do
        [ "$(focus)" = "$1" ] && return 0
        xdotool key Tab
        sleep 0.2
    done
    [ "$(focus)" = "$1" ]
}

# Waits until status panel 0 reads "Done"; false after $1 seconds.
wait_done() {
    for _ in $(seq $(( ${1:-20} * 2 ))); do
        [ "$(read_window status 0)" = Done ] && return 0
        sleep 0.5
    done
    return 1
}
