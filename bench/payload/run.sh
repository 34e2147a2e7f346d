#!/usr/bin/env bash
# Benchmark of the copy pipeline under Wine, against its floors (the least
# each of its steps can cost, bench/payload/floor.cpp) and against a peer (an
# NSIS installer of the same files, built here with Debian's makensis).
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
# Each payload is measured RUNS times (default 3), each run in a fresh copy
# of the prefix and, where permitted, from an emptied file cache, the
# floors, the product and the peer one after the other;
# each figure is the fastest of its runs, so that a busy machine (the load
# average is printed) cannot make the product look close to a floor. Per
# payload it prints:
#   floors    gzip: the gzip step as a bare loop (gzopen, gzread of 16,384
#             bytes, fwrite into a plain file in the same folder); copy: a
#             plain copy of that file's entries into files; inflate: the
#             gzread loop alone, to nowhere;
#   pipeline  copy page shown to copy page gone (taken by a driver);
#             ratio = pipeline / (gzip floor + copy floor);
#   memory    the setup process's peak anonymous resident memory (Linux
#             RssAnon sampled every 20 ms: heap and allocations, not the
#             mapped executable; Wine's own share included), and its growth
#             from the shipped payload;
#   process   setup as a whole process, started to success box, every page
#             answered the moment it shows;
#   peer      the NSIS installer as a whole process (/S /D=...), started to
#             exit; x peer = fastest process / fastest peer, and the median
#             of each run's own process / peer.
# ZV_BENCH_STAGES=1 also runs bench/payload/stages.cpp in each run: the copy
# page's own extraction in one process, each stage with its own clock (wall
# and processor time), the stages against the floors: the gzip step against
# the gzip floor, the entries against the copy floor, and all stages against
# the two floors together. ZV_BENCH_STAGES=over times the same stages over an
# earlier installation: the payload installed once, untimed, into the folder
# first, so that every entry replaces an earlier file (kept aside, then
# removed after the last entry: kept_gone, part of the entries' time).
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

# settle_memory: every run starts with the system's file cache emptied
# (written out first), when this user may ask for it (root): a cache that
# earlier runs filled makes each new page of a large payload wait for the
# system to free one (at 1 GB the same stages took 1.5 to 9 times as long
# with the cache full as with it emptied). Without the right, the figures
# depend on what ran before, and the summary says so.
drop_caches=0
[ -w /proc/sys/vm/drop_caches ] && drop_caches=1
settle_memory() {
  sync
  if [ "$drop_caches" = 1 ]; then echo 1 > /proc/sys/vm/drop_caches || drop_caches=0; fi
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
fastest() { sort -n | awk 'NF {print; exit}'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" | head -1; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

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

# floors NAME: the floor program over a copy of the payload in a folder of
# the prefix's drive C: (the same disk and the same kind of path as the
# setup's work folder); the copy is made untimed and the folder removed.
floors() {
  local dir=$WINEPREFIX/drive_c/zvfloor line
  rm -rf "$dir"; mkdir -p "$dir"
  cp "$work/payload-$1.gz" "$dir/filesdata.gz"
  sync
  line=$(wine "$bin/payload_bench_floor.exe" 'C:\zvfloor' 2>/dev/null | tr -d '\r')
  rm -rf "$dir"
  echo "$line"
}

measure() {   # measure NAME
  local name=$1 stage i line
  stage=$(cat "$work/stage-of-$name")
  local pipe=() gzfloor=() copyfloor=() inflate=() anon=() process=() peer=() peer_anon=()
  local gzcpu=() copycpu=() inflatecpu=()
  local ratio=() stages=() loads=("$(load)")
  for i in $(seq 1 "$runs"); do
    settle_memory
    fresh_prefix
    # Each program reads a copy of its own, written for this run as a
    # download would be: the first read of a file's pages through a
    # mapping costs more under Wine than a later one, and a program run
    # earlier from the same file would spare the next one that cost.
    cp "$work/setup-$name.exe" "$WINEPREFIX/drive_c/zvtest/setup.exe"
    cp "$work/peer-$name.exe" "$WINEPREFIX/drive_c/zvtest/peer.exe"
    line=$(floors "$name")
    gzfloor+=("$(echo "$line" | field gzip_floor_ms)")
    copyfloor+=("$(echo "$line" | field copy_floor_ms)")
    inflate+=("$(echo "$line" | field inflate_ms)")
    gzcpu+=("$(echo "$line" | field gzip_floor_cpu)")
    copycpu+=("$(echo "$line" | field copy_floor_cpu)")
    inflatecpu+=("$(echo "$line" | field inflate_cpu)")
    echo "$line" | grep -q 'ok=1' || echo "  $name run $i: the floor failed:$line"
    if [ "${ZV_BENCH_STAGES:-0}" = 1 ] || [ "${ZV_BENCH_STAGES:-0}" = over ]; then
      mkdir -p "$WINEPREFIX/drive_c/zvstages" "$WINEPREFIX/drive_c/zvstages-exe"
      cp "$work/setup-$name.exe" "$WINEPREFIX/drive_c/zvstages-exe/setup.exe"
      sync
      over=()
      [ "$ZV_BENCH_STAGES" = over ] && over=(over)
      stages+=("$(wine "$bin/payload_bench_stages.exe" 'C:\zvstages-exe\setup.exe' 'C:\zvstages' \
        "${over[@]}" 2>/dev/null | tr -d '\r' | grep write_gz_ms || true)")
      rm -rf "$WINEPREFIX/drive_c/zvstages" "$WINEPREFIX/drive_c/zvstages-exe"
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
    if [ -n "${process[-1]}" ] && [ -n "${peer[-1]}" ]; then
      ratio+=("$(awk -v a="${process[-1]}" -v b="${peer[-1]}" 'BEGIN {printf "%.3f", a/b}')")
    fi
    local installed peer_installed
    installed=$(find "$WINEPREFIX/drive_c/Program Files/The Zorvane" -type f 2>/dev/null | wc -l)
    peer_installed=$(find "$WINEPREFIX/drive_c/Program Files/The Zorvane Peer" -type f 2>/dev/null | wc -l)
    loads+=("$(load)")
    echo "  $name run $i: pipeline ${pipe[-1]:-FAILED} ms, process ${process[-1]:-FAILED} ms," \
      "peer ${peer[-1]:-FAILED} ms, gzip floor ${gzfloor[-1]} ms, copy floor ${copyfloor[-1]} ms," \
      "RssAnon ${anon[-1]} kB, files $installed / peer $peer_installed, load ${loads[-1]}"
    wineserver -k 2>/dev/null || true
  done
  local p g c f am pr pe pa pm largest
  p=$(printf '%s\n' "${pipe[@]}" | fastest); g=$(printf '%s\n' "${gzfloor[@]}" | fastest)
  c=$(printf '%s\n' "${copyfloor[@]}" | fastest); f=$(printf '%s\n' "${inflate[@]}" | fastest)
  am=$(printf '%s\n' "${anon[@]}" | median); pr=$(printf '%s\n' "${process[@]}" | fastest)
  pe=$(printf '%s\n' "${peer[@]}" | fastest); pa=$(printf '%s\n' "${peer_anon[@]}" | median)
  pm=$(printf '%s\n' "${ratio[@]}" | median)
  largest=$(find "$stage" -type f -printf '%s\n' | sort -n | tail -1)
  echo "$name $(stat -c %s "$work/payload-$name.gz") $(du -sb "$stage" | cut -f1) $largest" \
    "${p:-0} ${g:-0} ${c:-0} ${am:-0} ${pr:-0} ${pe:-0} ${pa:-0} ${pm:-0} ${f:-0}" >> "$work/results"
  echo "$name load (1, 5, 15 min) before and after each run: $(printf '[%s] ' "${loads[@]}")" \
    >> "$work/loads"
  if [ "${#stages[@]}" -gt 0 ]; then
    # Each stage's fastest run (wall, and processor time), and the stages
    # added up in each run, the fastest of those against the floors.
    local key summary="" sums gunzip entries gunzipcpu entriescpu gc cc fc
    for key in work_dir write_gz gunzip check entries kept_gone delete read_archive progress; do
      summary+=" $key $(for line in "${stages[@]}"; do echo "$line" | field "${key}_ms"; done |
        fastest) ms"
      case $key in read_archive | progress) summary+="," ;;
        *) summary+=" ($(for line in "${stages[@]}"; do echo "$line" | field "${key}_cpu"; done |
             fastest) cpu)," ;;
      esac
    done
    sums=$(for line in "${stages[@]}"; do
      for key in work_dir write_gz gunzip check entries delete; do echo "$line" | field "${key}_ms"; done |
        awk '{s += $1} END {printf "%.1f\n", s}'; done | fastest)
    gunzip=$(for line in "${stages[@]}"; do echo "$line" | field gunzip_ms; done | fastest)
    entries=$(for line in "${stages[@]}"; do echo "$line" | field entries_ms; done | fastest)
    gunzipcpu=$(for line in "${stages[@]}"; do echo "$line" | field gunzip_cpu; done | fastest)
    entriescpu=$(for line in "${stages[@]}"; do echo "$line" | field entries_cpu; done | fastest)
    gc=$(printf '%s\n' "${gzcpu[@]}" | fastest); cc=$(printf '%s\n' "${copycpu[@]}" | fastest)
    fc=$(printf '%s\n' "${inflatecpu[@]}" | fastest)
    echo "$name floors (fastest): gzip $g ms ($gc cpu), copy $c ms ($cc cpu), inflate alone" \
      "$f ms ($fc cpu)" >> "$work/stages"
    echo "$name stages (fastest):${summary%,}" >> "$work/stages"
    awk -v n="$name" -v s="$sums" -v gz="$gunzip" -v en="$entries" -v g="$g" -v c="$c" -v f="$f" \
      -v gzc="$gunzipcpu" -v enc="$entriescpu" -v gc="$gc" -v cc="$cc" -v fc="$fc" \
      'function r(a, b) { return b > 0 ? sprintf("%.2fx", a/b) : "-" }
      BEGIN {printf "%s against the floors (wall; processor time): gzip step %s; %s the gzip " \
        "floor (%s; %s inflate alone), entries %s; %s the copy floor, stages %.1f ms = %s both " \
        "floors\n", n, r(gz, g), r(gzc, gc), r(gz, f), r(gzc, fc), r(en, c), r(enc, cc), s,
        r(s, g + c)}' >> "$work/stages"
  fi
}

rm -f "$work/results" "$work/stages" "$work/loads"
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
  printf "%-8s %8s %7s %7s %9s %8s %8s %6s %8s %7s %8s %8s %6s %6s\n", "payload", "unpacked", "gzip",
    "largest", "pipeline", "gzfloor", "cpfloor", "ratio", "RssAnon", "growth", "process", "peer",
    "x peer", "median"
  printf "%-8s %8s %7s %7s %9s %8s %8s %6s %8s %7s %8s %8s %6s %6s\n", "", "MB", "MB", "MB", "ms",
    "ms", "ms", "", "MB", "MB", "ms", "ms", "", "" }
  NR == 1 { base = $8 }
  { printf "%-8s %8.1f %7.1f %7.1f %9.1f %8.1f %8.1f %6.2f %8.1f %+7.1f %8.1f %8.1f %6.2f %6.2f\n",
      $1, $3/1048576, $2/1048576, $4/1048576, $5, $6, $7, ($6 + $7 > 0 ? $5/($6 + $7) : 0),
      $8/1024, ($8-base)/1024, $9, $10, ($10 > 0 ? $9/$10 : 0), $12 }' "$work/results"
echo "(fastest of each figure's runs; ratio = pipeline / (gzip floor + copy floor); x peer =" \
  "fastest process / fastest peer, median = the median of each run's own process / peer;" \
  "RssAnon is the median, its growth from the first payload listed; inflate alone:" \
  "$(awk '{printf "%s %.1f ms  ", $1, $13}' "$work/results"); peer peak RssAnon:" \
  "$(awk '{printf "%s %.1f MB  ", $1, $11/1024}' "$work/results"))"
cat "$work/loads"
echo "processors: $(nproc); file cache emptied before each run:" \
  "$([ "$drop_caches" = 1 ] && echo yes || echo "no (not permitted)")"
[ -f "$work/stages" ] && cat "$work/stages"
exit 0
