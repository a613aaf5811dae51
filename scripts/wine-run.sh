#!/usr/bin/env bash
# Runs one Windows executable under Wine, in a prefix kept beside the build (made on first use).
# QUENNET_WINEPREFIX overrides the prefix; the default lives under the build folder.
# QUENNET_LOGPIXELS runs it at another display scale (120, 144, 192): in a prefix of its own,
# wineprefix-DPI, whose screen has that many pixels per logical inch.
set -u
exe=$1; shift
build_dir=$(cd "$(dirname "$exe")" && pwd)
while [ "$build_dir" != / ] && [ ! -f "$build_dir/CMakeCache.txt" ]; do build_dir=$(dirname "$build_dir"); done
dpi=${QUENNET_LOGPIXELS:-}
export WINEPREFIX=${QUENNET_WINEPREFIX:-$build_dir/wineprefix${dpi:+-$dpi}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
source "$(dirname "$0")/wine-env.sh"
wine=$QUENNET_WINE
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            "$wine" wineboot --init >/dev/null 2>&1
            # Xvfb runs no window manager; unmanaged windows spare every hide or destroy of a
            # captioned window a two-second wait for one.
            "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            if [ -n "$dpi" ]; then
                "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
            fi
            "$QUENNET_WINESERVER" -w
        fi
    ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$exe" "$@"
