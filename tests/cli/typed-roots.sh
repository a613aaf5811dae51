#!/usr/bin/env bash
# Roots as a user types them, under Wine, on a drive letter of the test's own (a link in the
# prefix's dosdevices): "Q:" is the drive's root even from a folder below it, "Q:\sub." and
# "Q:\\sub" are the folder "Q:\sub", and a refused root is named with the reason.
# Usage: typed-roots.sh QUENNET-CLI.EXE WINEPREFIX
set -u
cli=$(realpath "$1")
prefix=${QUENNET_WINEPREFIX:-$2}
run=$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-run.sh
dir=$(mktemp -d)
fail=0
mkdir -p "$dir/tree/sub/deeper"
touch "$dir/tree/top.txt" "$dir/tree/sub/mid.txt" "$dir/tree/sub/deeper/low.txt"
timeout 120 "$run" "$cli" "Z:$dir" >/dev/null 2>&1 # makes the prefix on first use
letter=
for candidate in q r s t u v w x y; do
    if ln -s "$dir/tree" "$prefix/dosdevices/$candidate:" 2>/dev/null; then letter=$candidate; break; fi
done
[ -n "$letter" ] || { echo "no drive letter free in $prefix"; exit 1; }
trap 'rm -f "$prefix/dosdevices/$letter:"; rm -rf "$dir"' EXIT
drive=${letter^^}:

check() { # label, wanted output (rows, then the message and status), root...
    local label=$1 want=$2; shift 2
    local got
    got=$(cd "$dir/tree/sub" && timeout 120 "$run" "$cli" "$@" 2>&1; echo "status $?")
    got=$(printf '%s\n' "$got" | tr -d '\r' | LC_ALL=C sort)
    want=$(printf '%b\n' "$want" | LC_ALL=C sort)
    if [ "$got" = "$want" ]; then
        echo "ok: $label"
    else
        echo "WRONG: $label"; diff <(echo "$want") <(echo "$got"); fail=1
    fi
}

all="$drive\\\\top.txt\n$drive\\\\sub\\\\mid.txt\n$drive\\\\sub\\\\deeper\\\\low.txt\nstatus 0"
sub="$drive\\\\sub\\\\mid.txt\n$drive\\\\sub\\\\deeper\\\\low.txt\nstatus 0"
check "$drive from a folder below the drive's root is the whole drive" "$all" "$drive"
check "$drive\\sub. is the folder $drive\\sub" "$sub" "$drive\\sub."
check "$drive\\\\sub is the folder $drive\\sub" "$sub" "$drive\\\\sub"
check "the refused root is named, the other not" \
    "Invalid directory: $drive\\\\top.txt (not a folder)\nstatus 2" "$drive\\sub" "$drive\\top.txt"
exit $fail
