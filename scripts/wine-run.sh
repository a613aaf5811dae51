#!/usr/bin/env bash
# Runs one Windows executable under Wine, in a prefix kept beside the build.
# QUENNET_WINEPREFIX overrides the prefix; the default lives under the build folder.
set -u
exe=$1; shift
build_dir=$(cd "$(dirname "$exe")" && pwd)
while [ "$build_dir" != / ] && [ ! -f "$build_dir/CMakeCache.txt" ]; do build_dir=$(dirname "$build_dir"); done
export WINEPREFIX=${QUENNET_WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
exec "$wine" "$exe" "$@"
