#!/usr/bin/env bash
# Builds quennet-cli natively and compares it with grep, ripgrep, find and cat.
# Usage: bench/run.sh [--rounds N] [--keep]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" ripgrep python3 time
# The build's chatter is kept out of the table, but a failed build shows why.
log=$(mktemp)
if ! bash "$root/scripts/build.sh" native >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "bench/run.sh: the native build failed" >&2
    exit 1
fi
rm -f "$log"
exec python3 "$root/bench/compare.py" --cli "$root/build/native/cli/quennet-cli" "$@"
