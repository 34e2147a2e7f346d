#!/usr/bin/env bash
# Benchmark of the copy pipeline under Wine, against its floor: a plain
# gzread loop of the same gzip file to nowhere.
#   bench/payload/run.sh [WIN32_BUILD_DIR [REPEAT [RUNS]]]
# WIN32_BUILD_DIR (default build/win32) is a built Windows tree (setup.exe,
# app-stage, generated/payload.gz, bench/payload/*.exe); its
# ZV_HOST_TOOLS give zv-appgen and zv-pack. The second payload has the
# shipped one's 19 entries with every generated file written REPEAT times
# over (default 82: about 300 MB). Each figure is the median of RUNS runs
# (default 3). Prints per payload the pipeline time (copy page shown to
# copy page gone, taken by a driver), the floor time and their ratio, the
# largest entry and the setup process's peak anonymous resident memory
# (Linux RssAnon sampled every 20 ms: heap and allocations, not the mapped
# executable; Wine's own share included), and how much that peak grew from
# the shipped payload to the big one.
# Without WIN32_BUILD_DIR it first builds the default tree (scripts/build.sh).
# Uses a display and prefix of its own, ended by their recorded ids.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ -z "${1:-}" ]; then
  bash "$root/scripts/build.sh" > /dev/null
fi
build=$(cd "${1:-$root/build/win32}" && pwd)
repeat=${2:-82}
runs=${3:-3}
tools=$(grep '^ZV_HOST_TOOLS:' "$build/CMakeCache.txt" | cut -d= -f2-)
bin=$build/bench/payload
work=$build/bench-payload
state=$work/wine
rm -rf "$work/big-stage" "$work/out"
mkdir -p "$work/out"

"$root/tests/wine/wine-start.sh" "$state" > "$work/wine-start.log" 2>&1
trap '"$root/tests/wine/wine-stop.sh" "$state"' EXIT
trap 'exit 1' INT TERM
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

# Samples the setup process every 20 ms while it runs and keeps the highest
# anonymous resident memory (RssAnon: heap and allocations, not the mapped
# executable) in $work/rss-anon-kb.
sample_anon() {
  local max=0 pid kb
  while :; do
    pid=$(pgrep -f '^C:.zvtest.setup[.]exe' | head -1 || true)
    if [ -n "$pid" ]; then
      kb=$(awk '/^RssAnon:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
      [ -n "$kb" ] && [ "$kb" -gt "$max" ] && max=$kb && echo "$max" > "$work/rss-anon-kb"
    fi
    sleep 0.02
  done
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" | head -1; }

measure() {   # measure NAME SETUP.EXE PAYLOAD.GZ STAGE
  local name=$1 exe=$2 gz=$3 stage=$4 i line
  local pipe=() floor=() anon=() sampler
  for i in $(seq 1 "$runs"); do
    fresh_prefix
    cp "$exe" "$WINEPREFIX/drive_c/zvtest/setup.exe"
    cp "$gz" "$WINEPREFIX/drive_c/zvtest/floor.gz"
    line=$(wine "$bin/payload_bench_floor.exe" 'C:\zvtest\floor.gz' 2>/dev/null | tr -d '\r')
    floor+=("$(echo "$line" | field floor_ms)")
    echo 0 > "$work/rss-anon-kb"
    sample_anon & sampler=$!
    line=$(wine "$bin/payload_bench_pipeline.exe" copy 'C:\zvtest\setup.exe' "Z:${work//\//\\}\\out" 2>/dev/null | tr -d '\r' | grep pipeline_ms || true)
    kill "$sampler" 2>/dev/null; wait "$sampler" 2>/dev/null || true
    anon+=("$(cat "$work/rss-anon-kb")")
    pipe+=("$(echo "$line" | field pipeline_ms)")
    wineserver -k 2>/dev/null || true
  done
  local p f am largest
  p=$(printf '%s\n' "${pipe[@]}" | median); f=$(printf '%s\n' "${floor[@]}" | median)
  am=$(printf '%s\n' "${anon[@]}" | median)
  largest=$(find "$stage" -type f -printf '%s\n' | sort -n | tail -1)
  echo "$am $largest" > "$work/memory-$name"
  awk -v n="$name" -v p="$p" -v f="$f" -v am="$am" -v l="$largest" -v s="$(stat -c %s "$gz")" 'BEGIN {
    printf "%-8s gzip %7.1f MB  pipeline %8.1f ms  floor %8.1f ms  ratio %.2f\n", n, s/1048576, p, f, p/f
    printf "%-8s largest entry %6.1f MB  setup peak RssAnon %6.1f MB\n", n, l/1048576, am/1024 }'
}

wine "$bin/payload_bench_resource.exe" "Z:${build//\//\\}\\setup.exe" "Z:${work//\//\\}\\setup-big.exe" \
  "Z:${work//\//\\}\\big.gz" 2>/dev/null | tr -d '\r'
echo "runs per figure: $runs"
measure shipped "$build/setup.exe" "$build/generated/payload.gz" "$build/app-stage"
measure big "$work/setup-big.exe" "$work/big.gz" "$work/big-stage"
read -r shipped_anon shipped_largest < "$work/memory-shipped"
read -r big_anon big_largest < "$work/memory-big"
awk -v a="$shipped_anon" -v b="$big_anon" -v la="$shipped_largest" -v lb="$big_largest" 'BEGIN {
  printf "memory: peak grew by %.1f MB from shipped to big; the largest entry grew by %.1f MB\n",
    (b-a)/1024, (lb-la)/1048576 }'
