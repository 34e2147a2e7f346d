#!/usr/bin/env bash
# bench/build-default.sh NAME: builds the default trees (scripts/build.sh)
# for the benchmark NAME, which was given no build folder; the output goes
# to build/bench-NAME-build.log, and its end is shown when the build fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/build"
log=$root/build/bench-$1-build.log
echo "building the default trees (log: $log)..."
bash "$root/scripts/build.sh" > "$log" 2>&1 ||
  { tail -30 "$log"; echo "build failed (log: $log)" >&2; exit 1; }
