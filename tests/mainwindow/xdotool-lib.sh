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

# Waits until the command after $1 prints $1: what a key or a click brings about shows once
# the program has handled it, however busy the machine is; false after 20 s.
wait_for() {
    local expected=$1
    shift
    for _ in $(seq 80); do
        [ "$("$@")" = "$expected" ] && return 0
        sleep 0.25
    done
    return 1
}
focus_is() { wait_for "$1" focus; }

# Presses Tab until the focused control reads $1 (class|text); false after $2 presses. After
# each press it waits for the focus to move (two empty fields in a row read alike: for them,
# a few seconds), so a slow program is not pressed past the control.
tab_to() {
    local before
    for _ in $(seq "${2:-20}"); do
        before=$(focus)
        [ "$before" = "$1" ] && return 0
        xdotool key Tab
        for _ in $(seq 12); do
            [ "$(focus)" != "$before" ] && break
            sleep 0.25
        done
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

# Opens the list's menu with the keyboard and chooses the item of access key $1; $2 seconds
# (0.7 unless given) let what the item opens come up.
choose_in_menu() {
    xdotool key Menu
    for _ in $(seq 80); do
        [ -n "$(read_window menu)" ] && break
        sleep 0.25
    done
    xdotool key "$1"
    sleep "${2:-0.7}"
}

# Types $1 into the save dialog and accepts it; false when no dialog showed in 20 s.
save_as() {
    local dialog
    for _ in $(seq 80); do
        dialog=$(xdotool search --onlyvisible --name "Save list as" 2>/dev/null | head -1)
        [ -n "$dialog" ] && break
        sleep 0.25
    done
    [ -n "$dialog" ] || return 1
    sleep 0.5
    xdotool type --delay 20 "$1"
    xdotool key Return
}

# Waits up to $2 seconds for file $1.
wait_file() {
    for _ in $(seq $(( ${2:-10} * 4 ))); do
        [ -f "$1" ] && return 0
        sleep 0.25
    done
    return 1
}
