#!/usr/bin/env bash
# Builds quennet-cli natively and compares it with grep, ripgrep, find and cat.
# Usage: bench/run.sh [--rounds N] [--keep] [--before OTHER-quennet-cli [--with-gb]] [--parallel]
#   --before: only the small files, this build against OTHER (after / before); --with-gb adds
#     every small file matching and the 1 GB file
#   --parallel: a pool of one thread per processor against rg -j2, rg -j1, cat, find and fd
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" ripgrep python3 time
# The build's chatter is kept out of the table, but a failed build shows why.
bash "$root/scripts/build.sh" --quiet native || exit 1
exec python3 "$root/bench/compare.py" --cli "$root/build/native/cli/quennet-cli" "$@"
