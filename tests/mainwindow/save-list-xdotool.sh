#!/usr/bin/env bash
# "Copy full paths" and "Save list as..." through the real keyboard (xdotool) and the standard
# save dialog, checked on X's clipboard and on disk: the saved .csv is byte for byte what
# quennet-cli --csv prints for the same folder behind a UTF-8 byte-order mark, and a save that runs out of room (a file size
# limit on the process) leaves neither the chosen name nor a temporary file behind.
# Usage: save-list-xdotool.sh quennet.exe window-reader.exe quennet-cli.exe
set -u
exe=$1
reader=$2
cli=$3
source "$(dirname "$0")/xdotool-lib.sh"
command -v xclip >/dev/null || { echo "skipped: xclip missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }

read_window visible >/dev/null # makes the prefix on first use
work=quennet-save-$$
folder=$prefix/drive_c/$work
out=$prefix/drive_c/$work-out
mkdir -p "$folder/sub" "$out"
echo plain >"$folder/plain.txt"
echo comma >"$folder/a, b.txt"
printf '%01000d' 0 >"$folder/sub/"$'caf\xc3\xa9 \xe6\x97\xa5.bin'
forget_settings

start_quennet "C:\\$work"
xdotool key Return
wait_done 20 || fail "the search did not end"
tab_to 'SysListView32|' || fail "the list is reached with Tab"

# "Copy full paths" gives what Ctrl+C gives: the selected rows' paths, one a line.
xdotool key ctrl+a
wait_for 3 read_window selectedcount || fail "Ctrl+A selects the three rows: $(read_window selectedcount)"
printf '' | xclip -selection clipboard
choose_in_menu p
# (The reader sees names in the ANSI code page; the clipboard has them whole.)
expected=$(cd "$folder" && find . -type f | sed "s|^\./|C:/$work/|; s|/|\\\\|g" | LC_ALL=C sort)
copied_paths() { xclip -selection clipboard -o 2>/dev/null | LC_ALL=C sort; }
wait_for "$expected" copied_paths
copied=$(copied_paths)
[ "$copied" = "$expected" ] || fail "Copy full paths copies the selected paths: [$copied] not [$expected]"

choose_in_menu s
save_as "C:\\$work-out\\list.csv" || fail "Save list as... shows the save dialog"
wait_file "$out/list.csv" 30 || fail "the list is saved under the chosen name"
"$run" "$cli" --csv "C:\\$work" >"$out/cli.csv" 2>/dev/null
utf8_name=$'caf\xc3\xa9 \xe6\x97\xa5.bin'
# A spreadsheet reads the window's UTF-8 behind a byte-order mark; the CLI's, for scripts, has none.
[ "$(head -c 3 "$out/cli.csv" | od -An -tx1 | tr -d ' ')" = 4e616d ] || fail "quennet-cli --csv starts with Name"
if ! cmp -s "$out/list.csv" <(printf '\xef\xbb\xbf'; cat "$out/cli.csv"); then
    fail "the window's .csv is a UTF-8 byte-order mark, then what quennet-cli --csv prints"
    diff <(od -c "$out/list.csv") <(od -c "$out/cli.csv") | head -10
fi
grep -q -x -F "$utf8_name,C:\\$work\\sub\\,1000,1000 b,0,"$'\r' "$out/list.csv" ||
    fail "the UTF-8 name is written as it is: $(grep sub "$out/list.csv" | od -c | head -3)"
grep -q '^"a, b.txt",C:\\' "$out/list.csv" || fail "a name with a comma is quoted: $(head -3 "$out/list.csv")"
[ "$(head -1 "$out/list.csv")" = $'\xef\xbb\xbfName,In Folder,Size in bytes,Size,Match offset,Match line\r' ] || fail "the header line"

choose_in_menu s
save_as "C:\\$work-out\\list.txt" || fail "Save list as... shows the dialog again"
wait_file "$out/list.txt" 30 || fail "the tab-separated list is saved"
grep -q -x -F "a, b.txt"$'\t'"C:\\$work\\"$'\t6\t6 b\t0\t\r' "$out/list.txt" ||
    fail "the .txt is tab-separated, the comma unquoted: $(grep 'a, b' "$out/list.txt" | od -c | head -2)"
close_quennet || fail "the program ended when its window closed"

# A disk that fills up: the process may write no file above 64 KB (its signal ignored, so the
# write fails as on a full disk). The list of 3000 more rows needs far more.
for i in $(seq 3000); do : >"$folder/sub/filler-$i.dat"; done
echo "the old list" >"$out/full.csv"
WINEPREFIX=$prefix wineserver -p 30 2>/dev/null # the server outlives the first instance, unlimited
(trap '' XFSZ; ulimit -f 64; exec "$run" "$exe" "C:\\$work") >/dev/null 2>&1 &
quennet_pid=$!
for _ in $(seq 60); do [ "$(read_window visible)" = yes ] && break; sleep 0.5; done
sleep 1
xdotool key Return
wait_done 30 || fail "the second search did not end"
tab_to 'SysListView32|' || fail "the list is reached with Tab again"
choose_in_menu s
save_as "C:\\$work-out\\full.csv" || fail "the save dialog for the full disk"
sleep 1
xdotool key alt+y # the dialog asks before replacing the old list
box=
for _ in $(seq 80); do
    box=$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null | head -1)
    [ -n "$box" ] && break
    sleep 0.25
done
[ -n "$box" ] || fail "a failed save is told in an error box"
[ -n "${QUENNET_SCREENSHOT:-}" ] && import -window root "$QUENNET_SCREENSHOT"
[ "$(cat "$out/full.csv")" = "the old list" ] || fail "the file under the chosen name is untouched: $(head -c 200 "$out/full.csv")"
leftovers=$(ls "$out" | grep -v -x -e list.csv -e list.txt -e cli.csv -e full.csv)
[ -z "$leftovers" ] || fail "no partial file is left beside it: $leftovers"
[ -n "$box" ] && xdotool key Return
sleep 0.5
close_quennet || fail "the program ended after the failed save"

forget_settings
rm -rf "$folder" "$out"
[ "$failures" = 0 ] && echo "all save-list checks passed"
[ "$failures" = 0 ]
