#!/usr/bin/env bash
# Builds both trees and runs every test: natively, then the Windows build under Wine.
# Usage: scripts/test.sh [native|windows|all]   (default all)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
bash "$root/scripts/install-deps.sh" || exit 1
bash "$root/scripts/build.sh" "$which" || exit 1

status=0
if [ "$which" = native ] || [ "$which" = all ]; then
    echo "== native tests"
    ctest --test-dir "$root/build/native" --output-on-failure -j 2 || status=1
fi
if [ "$which" = windows ] || [ "$which" = all ]; then
    echo "== Windows tests under Wine"
    source "$root/scripts/xvfb.sh" || exit 1
    # scripts/wine-run.sh makes the prefix on first use and runs each test in it.
    export WINEPREFIX=$root/build/windows/wineprefix
    ctest --test-dir "$root/build/windows" --output-on-failure || status=1
    source "$root/scripts/wine-env.sh"
    "$QUENNET_WINESERVER" -k 2>/dev/null
    [ -n "${QUENNET_XVFB_PID:-}" ] && kill "$QUENNET_XVFB_PID" 2>/dev/null
fi
exit $status
