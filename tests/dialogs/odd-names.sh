#!/bin/sh
# Names that Windows paths cannot say as they are, made on the host beside the file such a path
# would name instead; the viewer's test opens each row there (ARowIsViewedAsItsOwnFileOrRefused...).
# Usage: odd-names.sh hexview_wine_tests.exe WORKDIR
set -u
tests=$1
dir=$2/odd-names
. "$(dirname "$0")/../../scripts/wine-env.sh"
rm -rf "$dir"
mkdir -p "$dir/back"
printf 'dotted file, 18 b.' >"$dir/trailing dot."
printf plain >"$dir/trailing dot"
printf 'sp ' >"$dir/tspace "
printf nospace >"$dir/tspace"
printf 'fifteen bytes!!' >"$dir/back\\slash.txt"
printf 'the other file, thirty-four bytes.' >"$dir/back/slash.txt"
QUENNET_ODD_NAMES=$(quennet_winpath "$dir") \
    "$(dirname "$0")/../../scripts/wine-run.sh" "$tests" --gtest_filter='Viewer.ARowIsViewedAsItsOwnFile*'
status=$?
rm -rf "$dir"
exit $status
