#!/usr/bin/env bash
# Builds the native part (tools, pure logic, unit tests) and the Windows
# part (setup.exe and its tests) and puts setup.exe into dist/.
#   scripts/build.sh [--help]
# ZV_BUILD_ROOT chooses another build folder (then dist/ is left alone);
# ZV_JOBS the number of compile jobs (default: one per processor).
set -euo pipefail
case "${1:-}" in
  -h | --help) sed -n '2,/^set -/{/^set -/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
[ $# -eq 0 ] || { echo "build.sh: takes no arguments, not $1 (--help says more)" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${ZV_BUILD_ROOT:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
jobs=${ZV_JOBS:-$(nproc)}
mkdir -p "$build"

cmake --preset native -B "$build/native" > "$build/native-configure.log" 2>&1 ||
  { cat "$build/native-configure.log"; exit 1; }
cmake --build "$build/native" -j "$jobs"
cmake --preset win32 -B "$build/win32" -DZV_HOST_TOOLS="$build/native/bin" \
  > "$build/win32-configure.log" 2>&1 || { cat "$build/win32-configure.log"; exit 1; }
cmake --build "$build/win32" -j "$jobs"

if [ -z "${ZV_BUILD_ROOT:-}" ]; then
  mkdir -p dist
  cp "$build/win32/setup.exe" dist/setup.exe
  echo "Built $(file -b dist/setup.exe | cut -d, -f1-2): dist/setup.exe"
fi
