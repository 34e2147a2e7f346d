#!/usr/bin/env bash
# Times the background picture: from the start of setup.exe's process to the
# first painted background (the darkened desktop seen at the bottom-left
# corner of the screen), under Wine on a private Xvfb at 1024x768 and
# 1920x1080, each over a known full-screen picture. Prints every run and the
# median per size. With a native benchmark build it also runs the darkening
# pass against memset.
#
#   bench/background/run.sh [WIN32_BUILD_DIR [RUNS [BENCH_BUILD_DIR]]]
#
# WIN32_BUILD_DIR (default build/win32) must hold setup.exe and
# tests/e2e/e2e_background.exe; its Wine fixture's pristine prefix is used
# (made first when missing). BENCH_BUILD_DIR (default build/bench) is the
# native build of preset "bench". Every process started here is ended by its
# id. Without WIN32_BUILD_DIR (or with "") it first builds the default
# trees (scripts/build.sh and preset bench), ZV_JOBS jobs at a time (default:
# one per processor). What is missing, Google Benchmark included, is
# installed first (scripts/install-deps.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
case "${1:-}" in
  -h | --help) sed -n '2,/^set -uo/{/^set -uo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
bash "$root/scripts/install-deps.sh" libbenchmark-dev || exit 1
if [ -z "${1:-}" ]; then
  mkdir -p "$root/build"
  log=$root/build/bench-background-build.log
  echo "building the default trees (log: $log)..."
  { bash "$root/scripts/build.sh" && cmake --preset bench -B "$root/build/bench" &&
    cmake --build "$root/build/bench" --target bench_darken -j "${ZV_JOBS:-$(nproc)}"; } \
    > "$log" 2>&1 || { tail -30 "$log"; echo "build failed (log: $log)" >&2; exit 1; }
fi
build=$(cd "${1:-$root/build/win32}" && pwd) || exit 1
runs=${2:-5}
bench=${3:-$root/build/bench}
state=$build/wine
work=$build/bench-background
setup_exe=$build/setup.exe
driver=$build/tests/e2e/e2e_background.exe

for f in "$setup_exe" "$driver"; do
  [ -f "$f" ] || { echo "missing $f: build the win32 preset first" >&2; exit 1; }
done

export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
started_fixture=0
if [ ! -f "$state/pristine/.zv-ready" ]; then
  "$root/tests/wine/wine-start.sh" "$state" >/dev/null || exit 1
  started_fixture=1
fi

# The picture helpers of the end-to-end scenarios.
ok() { :; }
fail() { echo "FAIL: $*" >&2; }
source "$root/tests/e2e/areas/background.sh"

cleanup() {
  bg_cleanup
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
}
trap cleanup EXIT

mkdir -p "$work"
export OUT=$work
for size in 1024x768 1920x1080; do
  bg_start_display "${size}x24" || exit 1
  export WINEPREFIX=$work/prefix
  "$root/tests/wine/prefix-copy.sh" "$state/pristine" "$WINEPREFIX"
  mkdir -p "$WINEPREFIX/drive_c/zvtest"
  cp "$setup_exe" "$WINEPREFIX/drive_c/zvtest/setup.exe"
  bg_write_picture desktop "${size%x*}" "${size#*x}" "$work/desktop.ppm"
  bg_show "$work/desktop.ppm" 0 0 || exit 1
  wineserver -p5 </dev/null >/dev/null 2>&1   # warm server, as on a real desktop
  times=()
  for i in $(seq 1 "$runs"); do
    # Through a file: Wine's helper processes would hold a pipe open.
    wine "$driver" time_to_background 'C:\zvtest\setup.exe' 'Z:\tmp' \
      < /dev/null > "$work/run.log" 2>/dev/null
    line=$(tr -d '\r' < "$work/run.log" | grep '^background ')
    ms=$(echo "$line" | sed -n 's/.*first painted \(-\{0,1\}[0-9]*\) ms.*/\1/p')
    echo "$size run $i: ${ms:-?} ms"
    [ -n "$ms" ] && times+=("$ms")
  done
  if [ ${#times[@]} -gt 0 ]; then
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    echo "$size: median $median ms from process start to the first painted background (${#times[@]} runs)"
  fi
  cleanup
done

if [ -x "$bench/bench/background/bench_darken" ]; then
  echo "darkening pass against memset (native, $bench):"
  "$bench/bench/background/bench_darken" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'median|^Benchmark'
else
  echo "no native benchmark build in $bench (cmake --preset bench -B $bench && cmake --build $bench --target bench_darken -j$(nproc))"
fi
if [ $started_fixture -eq 1 ]; then
  "$root/tests/wine/wine-stop.sh" "$state" >/dev/null
fi
