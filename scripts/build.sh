#!/usr/bin/env bash
# Configures and builds both trees: build/native (g++) and build/windows (MinGW-w64).
# Usage: scripts/build.sh [--quiet] [native|windows|all]
#   --quiet: the build's output is shown only when it fails, followed by one line saying so.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --quiet ]; then
    shift
    log=$(mktemp)
    if bash "$0" "$@" >"$log" 2>&1; then
        rm -f "$log"
        exit 0
    fi
    cat "$log" >&2
    rm -f "$log"
    echo "scripts/build.sh: the ${1:-all} build failed (output above)" >&2
    exit 1
fi
which=${1:-all}
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$which" = native ] || [ "$which" = all ]; then
    cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$root/build/native" -j "$jobs"
fi
if [ "$which" = windows ] || [ "$which" = all ]; then
    cmake -S "$root" -B "$root/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
    cmake --build "$root/build/windows" -j "$jobs"
fi
