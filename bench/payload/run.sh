#!/usr/bin/env bash
# Benchmark of the copy pipeline under Wine, against its floor (a plain
# gzread loop of the same gzip file to nowhere) and against a peer (an NSIS
# installer of the same files, built here with Debian's makensis).
#   bench/payload/run.sh [WIN32_BUILD_DIR [REPEAT [RUNS [SIZES]]]]
# WIN32_BUILD_DIR (default build/win32) is a built Windows tree (setup.exe,
# app-stage, generated/payload.gz, bench/payload/*.exe); its ZV_HOST_TOOLS
# give zv-appgen, and the tree's build packs each larger payload and makes
# the setup that carries it. Without it (or with "") the default tree is
# built first (scripts/build.sh).
# SIZES, a comma list, chooses the payloads (default shipped,300mb):
#   shipped  the payload setup.exe carries;
#   300mb    the shipped one's 19 entries with every generated file written
#            REPEAT times over (default 82: about 300 MB);
#   1gb      the same, with Title.bmp grown to 760 MiB: about 1 GB in all,
#            one entry far larger than any buffer (optional: slow to make).
# Each figure is the median of RUNS runs (default 3), each run in a fresh
# copy of the prefix. Per payload it prints:
#   pipeline  copy page shown to copy page gone (taken by a driver);
#   floor     the gzread loop; ratio = pipeline / floor;
#   memory    the setup process's peak anonymous resident memory (Linux
#             RssAnon sampled every 20 ms: heap and allocations, not the
#             mapped executable; Wine's own share included), and its growth
#             from the shipped payload;
#   process   setup as a whole process, started to success box, every page
#             answered the moment it shows;
#   peer      the NSIS installer as a whole process (/S /D=...), started to
#             exit; ratio = process / peer.
# ZV_BENCH_STAGES=1 also runs bench/payload/stages.cpp: the copy page's own
# extraction in one process, each stage with its own clock (medians printed).
# Uses a display and prefix of its own, ended by their recorded ids.
# What is missing, makensis included, is installed first
# (scripts/install-deps.sh); the default tree is built ZV_JOBS jobs at a
# time (default: one per processor).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
case "${1:-}" in
  -h | --help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
# The peer is built with Debian's makensis; a benchmark tool only.
bash "$root/scripts/install-deps.sh" nsis
if [ -z "${1:-}" ]; then
  bash "$root/bench/build-default.sh" payload || exit 1
fi
build=$(cd "${1:-$root/build/win32}" && pwd)
repeat=${2:-82}
runs=${3:-3}
sizes=${4:-shipped,300mb}
large_mib=760
tools=$(grep '^ZV_HOST_TOOLS:' "$build/CMakeCache.txt" | cut -d= -f2-)
bin=$build/bench/payload
work=$build/bench-payload
state=$work/wine

rm -rf "$work/out" "$work"/setup-*
mkdir -p "$work/out"

"$root/tests/wine/wine-start.sh" "$state" > "$work/wine-start.log" 2>&1
trap 'WINEPREFIX="$state/bench" wineserver -k 2>/dev/null || true; "$root/tests/wine/wine-stop.sh" "$state"' EXIT
trap 'exit 1' INT TERM
export DISPLAY=$(cat "$state/display")
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$state/bench
winpath() { echo "Z:${1//\//\\}"; }

# setup_with NAME: the build's setup executable that carries the NAME
# payload, packed by the build from the staged tree (bench/payload/CMakeLists.txt).
setup_with() {
  cmake --build "$build" --target "payload_bench_setup_$1" -j "${ZV_JOBS:-$(nproc)}" \
    > "$work/setup-$1-build.log" 2>&1 || { tail -30 "$work/setup-$1-build.log"; exit 1; }
  cp "$bin/payload_bench_setup_$1.exe" "$work/setup-$1.exe"
}

# make_payload NAME: the stage tree, the gzip payload, a setup.exe that
# carries it and the peer installer of the same tree.
make_payload() {
  local name=$1 stage=$work/stage-$1
  case "$name" in
    shipped)
      stage=$build/app-stage
      cp "$build/generated/payload.gz" "$work/payload-$name.gz"
      cp "$build/setup.exe" "$work/setup-$name.exe" ;;
    300mb|1gb)
      # The generated payload and the peer depend only on the application
      # and the sizes asked for: kept from an earlier run when those match.
      local stamp
      stamp=$( (echo "$repeat $large_mib"; cd "$build/app-stage" && find . -type f | sort |
        xargs md5sum; md5sum "$tools/zv-appgen") | md5sum | cut -d' ' -f1)
      if [ "$(cat "$work/made-$name" 2>/dev/null)" != "$stamp" ]; then
        echo "making the $name payload (files repeated $repeat times$([ "$name" = 1gb ] &&
          echo ", Title.bmp $large_mib MiB"))..."
        rm -rf "$stage" "$work/made-$name"
        cp -r "$build/app-stage" "$stage"
        if [ "$name" = 1gb ]; then
          "$tools/zv-appgen" --repeat "$repeat" --large "$large_mib" "$stage"
        else
          "$tools/zv-appgen" --repeat "$repeat" "$stage"
        fi
        makensis -V1 -DSTAGE="$stage" -DOUTFILE="$work/peer-$name.exe" \
          "$root/bench/payload/peer.nsi"
        echo "$stamp" > "$work/made-$name"
      fi
      setup_with "$name" ;;
    *) echo "unknown size $name (shipped, 300mb, 1gb)"; exit 2 ;;
  esac
  if [ "$name" = shipped ]; then
    makensis -V1 -DSTAGE="$stage" -DOUTFILE="$work/peer-$name.exe" "$root/bench/payload/peer.nsi"
  fi
  echo "$stage" > "$work/stage-of-$name"
}

fresh_prefix() {
  "$root/tests/wine/prefix-copy.sh" "$state/pristine" "$WINEPREFIX"
  mkdir -p "$WINEPREFIX/drive_c/zvtest"
}

# sample_anon PATTERN FILE: the highest RssAnon (kB) of the process whose
# command line matches PATTERN and that runs in this benchmark's prefix
# (other runs on the machine may start a C:\zvtest\setup.exe of their own),
# written to FILE until killed. The process is looked up once; each sample
# then reads its status with shell builtins only, so the sampler hardly
# takes the processor from what it measures.
sample_anon() {
  local pattern=$1 out=$2 max=0 pid="" candidate key value rest
  echo 0 > "$out"
  while [ -z "$pid" ]; do
    for candidate in $(pgrep -f "$pattern" || true); do
      if tr '\0' '\n' < "/proc/$candidate/environ" 2>/dev/null |
        grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        pid=$candidate
      fi
    done
    [ -n "$pid" ] || sleep 0.02
  done
  while [ -r "/proc/$pid/status" ]; do
    while read -r key value rest; do
      if [ "$key" = RssAnon: ]; then
        [ "$value" -gt "$max" ] && max=$value && echo "$max" > "$out"
        break
      fi
    done < "/proc/$pid/status" 2>/dev/null || break
    sleep 0.02
  done
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" | head -1; }

# timed WHAT PATTERN MEMORY_FILE COMMAND...: runs a driver command with a
# memory sampler beside it; prints the driver's output.
timed() {
  local pattern=$1 memory=$2 sampler line; shift 2
  sync
  sample_anon "$pattern" "$memory" & sampler=$!
  line=$("$@" 2>/dev/null | tr -d '\r' | grep process_ms || true)
  kill "$sampler" 2>/dev/null; wait "$sampler" 2>/dev/null || true
  echo "$line"
}

measure() {   # measure NAME
  local name=$1 stage i line
  stage=$(cat "$work/stage-of-$name")
  local pipe=() floor=() anon=() process=() peer=() peer_anon=() stages=()
  for i in $(seq 1 "$runs"); do
    fresh_prefix
    ln "$work/setup-$name.exe" "$WINEPREFIX/drive_c/zvtest/setup.exe"
    ln "$work/peer-$name.exe" "$WINEPREFIX/drive_c/zvtest/peer.exe"
    sync
    line=$(wine "$bin/payload_bench_floor.exe" "$(winpath "$work/payload-$name.gz")" 2>/dev/null |
      tr -d '\r')
    floor+=("$(echo "$line" | field floor_ms)")
    if [ "${ZV_BENCH_STAGES:-0}" = 1 ]; then
      mkdir -p "$WINEPREFIX/drive_c/zvstages"
      sync
      stages+=("$(wine "$bin/payload_bench_stages.exe" 'C:\zvtest\setup.exe' 'C:\zvstages' \
        2>/dev/null | tr -d '\r' | grep write_gz_ms || true)")
      rm -rf "$WINEPREFIX/drive_c/zvstages"
    fi
    line=$(timed '^C:.zvtest.setup[.]exe' "$work/anon-kb" \
      wine "$bin/payload_bench_install.exe" install 'C:\zvtest\setup.exe' "$(winpath "$work/out")")
    pipe+=("$(echo "$line" | field pipeline_ms)")
    process+=("$(echo "$line" | field process_ms)")
    anon+=("$(cat "$work/anon-kb")")
    line=$(timed '^C:.zvtest.peer[.]exe' "$work/peer-anon-kb" \
      wine "$bin/payload_bench_install.exe" peer 'C:\zvtest\peer.exe' 'C:\Program Files\The Zorvane Peer')
    peer+=("$(echo "$line" | field process_ms)")
    peer_anon+=("$(cat "$work/peer-anon-kb")")
    local installed peer_installed
    installed=$(find "$WINEPREFIX/drive_c/Program Files/The Zorvane" -type f 2>/dev/null | wc -l)
    peer_installed=$(find "$WINEPREFIX/drive_c/Program Files/The Zorvane Peer" -type f 2>/dev/null | wc -l)
    echo "  $name run $i: pipeline ${pipe[-1]:-FAILED} ms, process ${process[-1]:-FAILED} ms," \
      "peer ${peer[-1]:-FAILED} ms, floor ${floor[-1]} ms, RssAnon ${anon[-1]} kB," \
      "files $installed / peer $peer_installed"
    wineserver -k 2>/dev/null || true
  done
  local p f am pr pe pa largest
  p=$(printf '%s\n' "${pipe[@]}" | median); f=$(printf '%s\n' "${floor[@]}" | median)
  am=$(printf '%s\n' "${anon[@]}" | median); pr=$(printf '%s\n' "${process[@]}" | median)
  pe=$(printf '%s\n' "${peer[@]}" | median); pa=$(printf '%s\n' "${peer_anon[@]}" | median)
  largest=$(find "$stage" -type f -printf '%s\n' | sort -n | tail -1)
  echo "$name $(stat -c %s "$work/payload-$name.gz") $(du -sb "$stage" | cut -f1) $largest" \
    "${p:-0} ${f:-0} ${am:-0} ${pr:-0} ${pe:-0} ${pa:-0}" >> "$work/results"
  if [ "${#stages[@]}" -gt 0 ]; then
    local key summary=""
    for key in work_dir write_gz gunzip check entries delete read_archive progress; do
      summary+=" $key $(for line in "${stages[@]}"; do echo "$line" | field "${key}_ms"; done |
        median) ms,"
    done
    echo "$name stages (median):${summary%,}" >> "$work/stages"
  fi
}

rm -f "$work/results" "$work/stages"
IFS=, read -r -a chosen <<< "$sizes"
for name in "${chosen[@]}"; do
  make_payload "$name"
done
echo "runs per figure: $runs"
for name in "${chosen[@]}"; do
  measure "$name"
done

echo
awk 'BEGIN {
  printf "%-8s %8s %8s %8s %9s %9s %6s %9s %8s %9s %9s %6s\n", "payload", "unpacked", "gzip",
    "largest", "pipeline", "floor", "ratio", "RssAnon", "growth", "process", "peer", "x peer"
  printf "%-8s %8s %8s %8s %9s %9s %6s %9s %8s %9s %9s %6s\n", "", "MB", "MB", "MB", "ms", "ms",
    "", "MB", "MB", "ms", "ms", "" }
  NR == 1 { base = $7 }
  { printf "%-8s %8.1f %8.1f %8.1f %9.1f %9.1f %6.2f %9.1f %+8.1f %9.1f %9.1f %6.2f\n", $1,
      $3/1048576, $2/1048576, $4/1048576, $5, $6, ($6 > 0 ? $5/$6 : 0), $7/1024, ($7-base)/1024,
      $8, $9, ($9 > 0 ? $8/$9 : 0) }' "$work/results"
echo "(RssAnon growth from the first payload listed; peer peak RssAnon:" \
  "$(awk '{printf "%s %.1f MB  ", $1, $10/1024}' "$work/results"))"
[ -f "$work/stages" ] && cat "$work/stages"
exit 0
