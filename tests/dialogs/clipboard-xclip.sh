#!/bin/sh
# The viewer's Copy as a program outside Wine sees it: the text format up to the first zero.
# Usage: clipboard-xclip.sh PROBE.exe WORKDIR
set -u
probe=$1
dir=$2
# A missing xclip is a skip (CTest's SKIP_RETURN_CODE), never a pass; on CI a failure.
command -v xclip >/dev/null || { echo "skipped: xclip missing"; [ "${CI:-}" = true ] && exit 1; exit 77; }
mkdir -p "$dir"
printf 'xxHello, clip!\000tail' > "$dir/clip.txt"
. "$(dirname "$0")/../../scripts/wine-env.sh"
winpath=$(quennet_winpath "$dir/")
"$(dirname "$0")/../../scripts/wine-run.sh" "$probe" "$winpath" clip.txt 2 15 &
pid=$!
got=
for _ in $(seq 30); do
    sleep 0.5
    got=$(xclip -o -selection clipboard 2>/dev/null) && [ "$got" = "Hello, clip!" ] && break
done
wait $pid
echo "clipboard: [$got]"
[ "$got" = "Hello, clip!" ]
