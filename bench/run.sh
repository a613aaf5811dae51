#!/usr/bin/env bash
# Builds quennet-cli natively and compares it with grep, ripgrep, find and cat.
# Usage: bench/run.sh [--rounds N] [--keep]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" ripgrep python3 time
bash "$root/scripts/build.sh" native >/dev/null
exec python3 "$root/bench/compare.py" --cli "$root/build/native/cli/quennet-cli" "$@"
