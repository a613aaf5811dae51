# Sourced: makes sure an X display exists for Wine's windows (starts Xvfb when none does).
# Sets QUENNET_XVFB_PID when it started one, so the caller can stop it. Returns non-zero with
# one line on stderr when there is no display and Xvfb cannot give one:
#   source scripts/xvfb.sh || exit 1
quennet_xvfb() {
    command -v xdpyinfo >/dev/null || { echo "xvfb.sh: xdpyinfo is missing (package x11-utils)" >&2; return 1; }
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && return 0
    command -v Xvfb >/dev/null || { echo "xvfb.sh: no X display and Xvfb is missing (package xvfb)" >&2; return 1; }
    local n log
    for n in 97 98 99 96 95; do
        { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
        log=$(mktemp)
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
        QUENNET_XVFB_PID=$!
        for _ in $(seq 50); do
            if DISPLAY=:$n xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=:$n
                rm -f "$log"
                return 0
            fi
            kill -0 "$QUENNET_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$QUENNET_XVFB_PID" 2>/dev/null
        unset QUENNET_XVFB_PID
        echo "xvfb.sh: Xvfb did not start on :$n: $(grep -v '^$' "$log" | tail -n 1)" >&2
        rm -f "$log"
        return 1
    done
    echo "xvfb.sh: no free display number for Xvfb (:95 to :99 are taken)" >&2
    return 1
}
quennet_xvfb
