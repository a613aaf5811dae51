# Sourced: makes sure an X display exists for Wine's windows (starts Xvfb when none does).
# Sets QUENNET_XVFB_PID when it started one, so the caller can stop it.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    for n in 97 98 99 96 95; do
        [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        QUENNET_XVFB_PID=$!
        export DISPLAY=:$n
        for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
        break
    done
fi
