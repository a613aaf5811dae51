#!/usr/bin/env bash
# A missing tool must never count as a pass: the test scripts skip with CTest's skip code (77)
# and fail under CI=true; scripts/xvfb.sh fails with one line when Xvfb cannot give a display.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0
check() { # label, wanted status, command...
    local label=$1 want=$2; shift 2
    "$@" >"$dir/out" 2>"$dir/err"
    local got=$?
    if [ "$got" = "$want" ]; then echo "ok: $label"; else echo "WRONG: $label: status $got, not $want"; fail=1; fi
}
check "no tree to compare: skipped" 77 env -u CI bash "$root/tests/cli/agree-with-grep.sh" /bin/false "$dir/none"
check "no tree to compare on CI: failed" 1 env CI=true bash "$root/tests/cli/agree-with-grep.sh" /bin/false "$dir/none"
check "no xclip: skipped" 77 env -u CI PATH="$dir/empty" /bin/sh "$root/tests/dialogs/clipboard-xclip.sh" probe "$dir/clip"
check "no xclip on CI: failed" 1 env CI=true PATH="$dir/empty" /bin/sh "$root/tests/dialogs/clipboard-xclip.sh" probe "$dir/clip"

# An Xvfb that cannot start, and none at all.
mkdir -p "$dir/bin"
printf '#!/bin/sh\necho "(EE) Fatal server error: cannot open log file"\nexit 1\n' >"$dir/bin/Xvfb"
chmod +x "$dir/bin/Xvfb"
xdpyinfo=$(command -v xdpyinfo) && ln -s "$xdpyinfo" "$dir/bin/xdpyinfo"
for case in "failing Xvfb:$dir/bin:/usr/bin:/bin" "no Xvfb:$dir/bin"; do
    [ "${case%%:*}" = "no Xvfb" ] && rm -f "$dir/bin/Xvfb"
    check "${case%%:*}: xvfb.sh fails" 1 env -u DISPLAY PATH="${case#*:}" /bin/bash -c "source '$root/scripts/xvfb.sh'"
    lines=$(wc -l <"$dir/err")
    [ "$lines" = 1 ] || { echo "WRONG: ${case%%:*}: $lines lines on stderr"; cat "$dir/err"; fail=1; }
done
exit $fail
