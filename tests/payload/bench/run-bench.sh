#!/usr/bin/env bash
# Benchmark of the copy pipeline under Wine, against its floor: a plain
# gzread loop of the same gzip file to nowhere.
#   tests/payload/bench/run-bench.sh [WIN32_BUILD_DIR [REPEAT [RUNS]]]
# WIN32_BUILD_DIR (default build/win32) is a built Windows tree (setup.exe,
# app-stage, generated/payload.gz, tests/payload/bench/*.exe); its
# ZV_HOST_TOOLS give zv-appgen and zv-pack. The second payload has the
# shipped one's 19 entries with every generated file written REPEAT times
# over (default 82: about 300 MB). Each figure is the median of RUNS runs
# (default 3). Prints per payload the pipeline time (copy page shown to
# copy page gone, taken by a driver), the floor time, their ratio, the
# largest entry and the peak private memory of setup (what it committed
# beside its mapped image) next to that of the floor program.
# Uses a display and prefix of its own, ended by their recorded ids.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
repeat=${2:-82}
runs=${3:-3}
tools=$(grep '^ZV_HOST_TOOLS:' "$build/CMakeCache.txt" | cut -d= -f2-)
bin=$build/tests/payload/bench
work=$build/bench-payload
state=$work/wine
rm -rf "$work/big-stage" "$work/out"
mkdir -p "$work/out"

"$root/tests/wine/wine-start.sh" "$state" > "$work/wine-start.log" 2>&1
trap '"$root/tests/wine/wine-stop.sh" "$state"' EXIT
export DISPLAY=$(cat "$state/display")
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$state/bench

echo "making a payload of the same shape, files repeated $repeat times..."
cp -r "$build/app-stage" "$work/big-stage"
"$tools/zv-appgen" --repeat "$repeat" "$work/big-stage"
"$tools/zv-pack" --count 19 --output "$work/big.gz" --dir "$work/big-stage"

fresh_prefix() {
  "$root/tests/wine/prefix-copy.sh" "$state/pristine" "$WINEPREFIX"
  mkdir -p "$WINEPREFIX/drive_c/zvtest"
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" | head -1; }

measure() {   # measure NAME SETUP.EXE PAYLOAD.GZ STAGE
  local name=$1 exe=$2 gz=$3 stage=$4 i line
  local pipe=() floor=() pmem=() fmem=()
  for i in $(seq 1 "$runs"); do
    fresh_prefix
    cp "$exe" "$WINEPREFIX/drive_c/zvtest/setup.exe"
    cp "$gz" "$WINEPREFIX/drive_c/zvtest/floor.gz"
    line=$(wine "$bin/payload_bench_floor.exe" 'C:\zvtest\floor.gz' 2>/dev/null | tr -d '\r')
    floor+=("$(echo "$line" | field floor_ms)"); fmem+=("$(echo "$line" | field peak_private_kb)")
    line=$(wine "$bin/payload_bench_pipeline.exe" copy 'C:\zvtest\setup.exe' "Z:${work//\//\\}\\out" 2>/dev/null | tr -d '\r' | grep pipeline_ms || true)
    pipe+=("$(echo "$line" | field pipeline_ms)"); pmem+=("$(echo "$line" | field peak_private_kb)")
    wineserver -k 2>/dev/null || true
  done
  local p f pm fm largest
  p=$(printf '%s\n' "${pipe[@]}" | median); f=$(printf '%s\n' "${floor[@]}" | median)
  pm=$(printf '%s\n' "${pmem[@]}" | median); fm=$(printf '%s\n' "${fmem[@]}" | median)
  largest=$(find "$stage" -type f -printf '%s\n' | sort -n | tail -1)
  awk -v n="$name" -v p="$p" -v f="$f" -v pm="$pm" -v fm="$fm" -v l="$largest" -v s="$(stat -c %s "$gz")" 'BEGIN {
    printf "%-8s gzip %7.1f MB  pipeline %8.1f ms  floor %8.1f ms  ratio %.2f\n", n, s/1048576, p, f, p/f
    printf "%-8s largest entry %6.1f MB  peak private: setup %6.1f MB, floor program %6.1f MB, difference %6.1f MB (limit %.1f MB)\n",
      n, l/1048576, pm/1024, fm/1024, (pm-fm)/1024, l/1048576 + 2 }'
}

wine "$bin/payload_bench_resource.exe" "Z:${build//\//\\}\\setup.exe" "Z:${work//\//\\}\\setup-big.exe" \
  "Z:${work//\//\\}\\big.gz" 2>/dev/null | tr -d '\r'
echo "runs per figure: $runs"
measure shipped "$build/setup.exe" "$build/generated/payload.gz" "$build/app-stage"
measure big "$work/setup-big.exe" "$work/big.gz" "$work/big-stage"
