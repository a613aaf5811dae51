#!/usr/bin/env bash
# Alt+F4 while a search runs on the pool of scanners: the close stops the search, waits for
# the worker while still serving its last step, then saves the settings. From outside: the
# process ends on its own, long before the search could have ended, with exit status 0, and
# the registry holds the setting the user changed just before.
# Usage: close-during-search-xdotool.sh quennet.exe window-reader.exe
set -u
exe=$1
reader=$2
source "$(dirname "$0")/xdotool-lib.sh"

# The window asks for one scanner per logical processor; with one there is no pool to close.
[ "$(nproc)" -ge 2 ] || { echo "skipped: one processor, no pool"; exit 77; }

read_window visible >/dev/null # makes the prefix on first use
work=quennet-close-search-$$
folder=$prefix/drive_c/$work
mkdir -p "$folder/slow"
# Thousands of small files, six of them holding the phrase; they are tested before the
# subfolder, where a sparse file the scanners share out in ranges keeps the search running
# (it takes no room on the disk).
filler=$(for _ in 1 2 3 4 5 6; do echo "a line of text, nothing to find here"; done)
for i in $(seq 0 3999); do
    name=$(printf 'f%04d.txt' "$i")
    case $i in
    17 | 400 | 1234 | 2500 | 3333 | 3999) printf '%s\nthe needle is here\n' "$filler" >"$folder/$name" ;;
    *) printf '%s\n' "$filler" >"$folder/$name" ;;
    esac
done
truncate -s 4T "$folder/slow/big.bin"
forget_settings
start_quennet "C:\\$work"

# The phrase typed, "Case sensitive" ticked (the setting the close must save), Enter.
xdotool key Tab
xdotool type --delay 30 needle
xdotool key Tab
focus_is 'TGlyphCheck|Case sensitive' || fail "Tab from the phrase reaches Case sensitive: [$(focus)]"
xdotool key space
xdotool key Return

# Every matching file listed while the scanners are still inside the big file.
expected=$(printf '%s\n' f0017.txt f0400.txt f1234.txt f2500.txt f3333.txt f3999.txt)
for _ in $(seq 60); do
    listed=$(read_window rows | cut -d'|' -f1 | sort)
    [ "$listed" = "$expected" ] && break
    sleep 0.5
done
[ "$listed" = "$expected" ] || fail "the six matching files are listed: [$listed]"
[ "$(read_window status 0)" = Searching... ] || fail "the search still runs before the close"
[ -n "${SCREENSHOT:-}" ] && import -window root "$SCREENSHOT"

# Reading the big file whole would take hours: the process ends on its own only when the close
# stops the search. The wait is generous; how long the close takes is not what is checked.
xdotool key alt+F4
ended=no
for _ in $(seq 240); do
    kill -0 "$quennet_pid" 2>/dev/null || { ended=yes; break; }
    sleep 0.5
done
if [ "$ended" = yes ]; then
    wait "$quennet_pid"
    status=$?
    [ "$status" = 0 ] || fail "the program ends cleanly after the close: exit status $status"
else
    fail "the program still runs two minutes after Alt+F4 during the search"
    kill "$quennet_pid" 2>/dev/null
    wait "$quennet_pid" 2>/dev/null
fi

saved=$("$run" reg query "$settings_key" /v "Case Sensitive" 2>/dev/null | tr -d '\r')
grep -q 'REG_DWORD.*0x1$' <<<"$saved" || fail "the close saved \"Case Sensitive\" ticked: [$saved]"

forget_settings
rm -rf "$folder"
[ "$failures" = 0 ] && echo "all close-during-search checks passed"
[ "$failures" = 0 ]
