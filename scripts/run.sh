#!/usr/bin/env bash
# The main job: builds the command-line search natively and runs it.
# Usage: scripts/run.sh [quennet-cli arguments]   (default: a name search in /usr/share/doc)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" || exit 1
bash "$root/scripts/build.sh" native >/dev/null || exit 1
[ $# -gt 0 ] || set -- --name copyright --columns /usr/share/doc
exec "$root/build/native/cli/quennet-cli" "$@"
