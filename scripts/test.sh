#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# native unit tests (under AddressSanitizer and UBSan), the fuzz targets for
# a short bounded time, the Win32 unit tests and the end-to-end scenarios
# under Wine, a second build of the shipped programs that must give the
# same bytes, and the warning-free 64-bit Windows build. Ends with the line
# "N passed, M failed"; exits non-zero when anything failed.
#   scripts/test.sh [--help]
# It also runs the README's run command the way a newcomer types it (no
# display: the headless walk) and fails unless that ends with status 0 and
# the pictures of the pages lie in dist/screenshots/. The fuzz targets run
# 20 s each, whatever ZV_FUZZ_SECONDS says. ZV_BUILD_ROOT chooses another
# build folder; ZV_JOBS the compile jobs, ZV_WINE_JOBS the Wine tests at a
# time (default 2).
set -uo pipefail
case "${1:-}" in
  -h | --help) sed -n '2,/^set -/{/^set -/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
[ $# -eq 0 ] || { echo "test.sh: takes no arguments, not $1 (--help says more)" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }

build=${ZV_BUILD_ROOT:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
mkdir -p "$build"
jobs=${ZV_JOBS:-$(nproc)}
passed=0 failed=0

# count_ctest LOG: adds the counts of one CTest run's summary line.
count_ctest() {
  local line p f total
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  if [ -z "$line" ]; then
    if grep -q 'No tests were found' "$1"; then return; fi
    echo "  (no CTest summary in $1)"; failed=$((failed + 1)); return
  fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - f)); failed=$((failed + f))
}
# step NAME COMMAND...: a build step that counts as one test.
step() {
  local name=$1; shift
  echo "== $name"
  if "$@" > "$build/$name.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); echo "FAILED: $name (log: $build/$name.log)"; tail -30 "$build/$name.log"
  fi
}
run_ctest() {
  local name=$1 dir=$2; shift 2
  echo "== $name"
  ctest --test-dir "$dir" --output-on-failure "$@" > "$build/$name.log" 2>&1
  grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|\*\*\*' "$build/$name.log" | grep -vE ' Passed ' | tail -40
  count_ctest "$build/$name.log"
}

# run_command: the README's run command as a newcomer types it, without a
# display: the headless walk. Fails unless it ends with status 0 and the
# pictures of the pages are in dist/screenshots/, made by this run.
run_command() {
  local shots=$root/dist/screenshots page missing=
  rm -f "$shots"/[1-5]-*.png
  env -u DISPLAY bash scripts/run.sh || { echo "bash scripts/run.sh ended with status $?"; return 1; }
  for page in 1-agreement 2-destination 4-shortcuts 5-finished; do
    [ -s "$shots/$page.png" ] || missing="$missing $page.png"
  done
  [ -z "$missing" ] || { echo "bash scripts/run.sh saved no$missing in $shots"; return 1; }
  echo "bash scripts/run.sh ended with status 0; the pictures are in $shots"
}
# run_command_dpi: the README's ZV_DPI=192 bash scripts/run.sh --screenshots
# docs, into the build tree instead of the repository's docs/.
run_command_dpi() {
  local shots=$build/run-screenshots-200 page missing=
  rm -rf "$shots"
  ZV_DPI=192 bash scripts/run.sh --screenshots "$shots" ||
    { echo "ZV_DPI=192 bash scripts/run.sh --screenshots $shots ended with status $?"; return 1; }
  for page in 1-agreement 2-destination 4-shortcuts 5-finished; do
    [ -s "$shots/$page-200.png" ] || missing="$missing $page-200.png"
  done
  [ -z "$missing" ] || { echo "saved no$missing in $shots"; return 1; }
}

# The fuzz targets' time is the test command's own.
export ZV_FUZZ_SECONDS=20
step code-style bash scripts/check-style.sh
step build-native-and-win32 bash scripts/build.sh
if [ -f "$build/native/CMakeCache.txt" ]; then
  run_ctest ctest-native "$build/native" -j "$jobs"
fi
if [ -f "$build/win32/setup.exe" ]; then
  echo "   $(file -b "$build/win32/setup.exe")"
  run_ctest ctest-win32 "$build/win32" -j "${ZV_WINE_JOBS:-2}"
  step reproducible-build bash scripts/check-reproducible.sh "$build/win32" "$build/repro"
  step run-command run_command
  step run-command-dpi run_command_dpi
fi
step build-win64 sh -c "cmake --preset win64 -B '$build/win64' -DZV_HOST_TOOLS='$build/native/bin' && cmake --build '$build/win64' -j $jobs"
step build-fuzz sh -c "cmake --preset fuzz -B '$build/fuzz' && cmake --build '$build/fuzz' -j $jobs"
if [ -f "$build/fuzz/CMakeCache.txt" ]; then
  run_ctest ctest-fuzz "$build/fuzz" -L fuzz -j "$jobs"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
