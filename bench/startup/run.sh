#!/usr/bin/env bash
# Start-up benchmark under Wine: from CreateProcess to what the user first
# sees, for the setup, a peer and a floor, side by side on one private Xvfb
# display (24-bit) per screen size, over a full-screen desktop picture
# without black pixels.
#
#   bench/startup/run.sh [--help] [--compare NAME=DIR]... [WIN32_BUILD_DIR [RUNS [SIZES]]]
#
# Figures, each the median of RUNS runs (default 9), in ms from
# CreateProcess (bench/startup/watch.cpp polls every millisecond):
#   floor     a bare program's message box is visible (startup_bench_floor);
#   peer      the first page of an NSIS Modern UI installer of the same files
#             with the same licence page first (bench/startup/peer.nsi,
#             built with Debian's makensis, installed here when missing; a
#             benchmark reference only, never part of setup);
#   backdrop  setup's full-screen picture is on the screen (the checkerboard
#             read back at the bottom-left corner);
#   page      setup's licence page is visible.
# Every round runs every program once, in an order that turns by one each
# round, so that a slow moment of a busy machine falls on each in turn.
#
# WIN32_BUILD_DIR (default build/win32) must hold setup.exe and
# bench/startup/*.exe; without it (or with "") the default trees are built
# first (scripts/build.sh), ZV_JOBS jobs at a time (default: one per
# processor). What is missing, makensis included, is installed first
# (scripts/install-deps.sh). SIZES is a comma list of WIDTHxHEIGHT (default
# 1024x768,1920x1080,3840x2160), each at 96 dpi, or WIDTHxHEIGHT@DPI for a
# display scale (LogPixels of the prefix; 192 is 200 %), for example
# 3840x2160@192.
# --compare NAME=DIR also times the setup.exe of DIR (for example a copy of
# an earlier build) in the same rounds, under NAME; the tree's own is
# "setup".
# ZV_BENCH_STAGES=1 also runs, in each round, the clocked build of each
# setup (startup_bench_setup.exe, beside its setup.exe or in DIR's
# bench/startup): the median time of each start-up point from the creation
# of the process (entry, WM_CREATE, snapshot, darkening, title, first
# paint, first page), and the time of each stage.
# Uses displays and a prefix of its own; every process started here is
# ended by its id.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
usage() { sed -n '2,/^set -uo/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//'; }

compare=()
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --compare) [ $# -ge 2 ] || { usage >&2; exit 2; }; compare+=("$2"); shift 2 ;;
    --compare=*) compare+=("${1#--compare=}"); shift ;;
    -*) echo "unknown option $1" >&2; usage >&2; exit 2 ;;
    *) break ;;
  esac
done
# The peer is built with Debian's makensis; a benchmark tool only.
bash "$root/scripts/install-deps.sh" nsis || exit 1
if [ -z "${1:-}" ]; then
  bash "$root/bench/build-default.sh" startup || exit 1
fi
build=$(cd "${1:-$root/build/win32}" && pwd) || exit 1
runs=${2:-9}
sizes=${3:-1024x768,1920x1080,3840x2160}
stages=${ZV_BENCH_STAGES:-0}
work=$build/bench-startup
bin=$build/bench/startup
for f in "$build/setup.exe" "$bin/startup_bench_watch.exe" "$bin/startup_bench_floor.exe" \
  "$bin/startup_bench_setup.exe"; do
  [ -f "$f" ] || { echo "missing $f: build the win32 preset first" >&2; exit 1; }
done

mkdir -p "$work"

# The setups: NAME DIR SETUP.EXE CLOCKED.EXE, one a line.
clocked_of() {
  local dir=$1
  for f in "$dir/startup_bench_setup.exe" "$dir/bench/startup/startup_bench_setup.exe"; do
    [ -f "$f" ] && { echo "$f"; return; }
  done
}
setups=("setup|$build")
for pair in "${compare[@]}"; do
  name=${pair%%=*} dir=${pair#*=}
  case "$name" in ''|*[!A-Za-z0-9_-]*|peer|floor)
    echo "--compare $pair: NAME is letters, digits, - or _ (not peer or floor)" >&2; exit 2 ;; esac
  [ -f "$dir/setup.exe" ] || { echo "--compare $pair: no $dir/setup.exe" >&2; exit 2; }
  setups+=("$name|$(cd "$dir" && pwd)")
done

export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
state=$work/wine
"$root/tests/wine/wine-start.sh" "$state" > "$work/wine-start.log" 2>&1 ||
  { cat "$work/wine-start.log"; exit 1; }

# The picture helpers of the end-to-end scenarios (own display, X windows).
ok() { :; }
fail() { echo "FAIL: $*" >&2; }
export OUT=$work
# shellcheck source=../../tests/e2e/areas/background.sh
source "$root/tests/e2e/areas/background.sh"

export WINEPREFIX=$work/prefix
cleanup() {
  wineserver -k 2> /dev/null
  bg_cleanup
}
trap 'cleanup; "$root/tests/wine/wine-stop.sh" "$state" > /dev/null 2>&1' EXIT
trap 'exit 1' INT TERM

# The peer, built once per set of files and licence.
stamp=$( (cd "$build/app-stage" && find . -type f | sort | xargs md5sum
  md5sum "$root/resources/licence.txt" "$root/bench/startup/peer.nsi") | md5sum | cut -d' ' -f1)
if [ "$(cat "$work/peer.stamp" 2> /dev/null)" != "$stamp" ] || [ ! -f "$work/peer.exe" ]; then
  makensis -V1 -DSTAGE="$build/app-stage" -DLICENCE="$root/resources/licence.txt" \
    -DOUTFILE="$work/peer.exe" "$root/bench/startup/peer.nsi" || exit 1
  echo "$stamp" > "$work/peer.stamp"
fi

rm -rf "$WINEPREFIX"
"$root/tests/wine/prefix-copy.sh" "$state/pristine" "$WINEPREFIX"
dest=$WINEPREFIX/drive_c/zvtest
mkdir -p "$dest/peer" "$dest/floor"
cp "$work/peer.exe" "$dest/peer/peer.exe"
cp "$bin/startup_bench_floor.exe" "$dest/floor/floor.exe"
subjects=()
for entry in "${setups[@]}"; do
  name=${entry%%|*} dir=${entry#*|}
  mkdir -p "$dest/$name"
  cp "$dir/setup.exe" "$dest/$name/setup.exe"
  subjects+=("$name")
  if [ "$stages" = 1 ]; then
    clocked=$(clocked_of "$dir")
    [ -n "$clocked" ] || { echo "no startup_bench_setup.exe for $name in $dir" >&2; exit 1; }
    mkdir -p "$dest/$name-clocked"
    cp "$clocked" "$dest/$name-clocked/setup.exe"
    subjects+=("$name-clocked")
  fi
done
subjects+=(peer floor)

results=$work/results
: > "$results"

# run_one SIZE SUBJECT: one timed start, its figures appended to results.
run_one() {
  local size=$1 subject=$2 kind exe line
  case "$subject" in
    peer) kind=peer exe='C:\zvtest\peer\peer.exe' ;;
    floor) kind=floor exe='C:\zvtest\floor\floor.exe' ;;
    *-clocked) kind=clocked exe="C:\\zvtest\\$subject\\setup.exe" ;;
    *) kind=setup exe="C:\\zvtest\\$subject\\setup.exe" ;;
  esac
  rm -f "$dest/$subject/setup.exe.stages"
  # Through a file: Wine's helper processes would hold a pipe open.
  wine "$bin/startup_bench_watch.exe" "$kind" "$exe" "C:\\zvtest\\$subject" \
    < /dev/null > "$work/watch.log" 2> /dev/null
  line=$(tr -d '\r' < "$work/watch.log" | grep '_ms=' | head -1)
  if [ "$kind" = clocked ]; then
    # Each point's time and, as STAGE_stage_ms, the time since the point before.
    line="$line $(tr -d '\r' < "$dest/$subject/setup.exe.stages" 2> /dev/null | awk '{
      out = $0; previous = ""
      for (i = 1; i <= NF; ++i) {
        split($i, kv, "=")
        if (previous != "" && kv[2] >= 0 && previous >= 0)
          out = out sprintf(" %s_stage_ms=%.1f", substr(kv[1], 1, length(kv[1]) - 3), kv[2] - previous)
        previous = kv[2]
      }
      print out }')"
  fi
  [ -n "${line// /}" ] || { echo "  $size $subject: no figures ($(tr -d '\r' < "$work/watch.log" | tail -1))"; return; }
  echo "$size $subject $line" >> "$results"
  echo "  $size $subject: $line"
}

# set_dpi DPI: the display scale of the prefix, as the control panel sets
# it; read by the next wineserver, so the running one is let go first.
set_dpi() {
  local key
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f < /dev/null > /dev/null 2>&1
  done
  wineserver -w 2> /dev/null
}

IFS=, read -r -a size_list <<< "$sizes"
for size in "${size_list[@]}"; do
  [[ "$size" =~ ^([0-9]+)x([0-9]+)(@([0-9]+))?$ ]] ||
    { echo "size $size is not WIDTHxHEIGHT or WIDTHxHEIGHT@DPI" >&2; exit 2; }
  w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} dpi=${BASH_REMATCH[4]:-96}
  bg_start_display "${w}x${h}x24" || exit 1
  picture=$work/desktop-${w}x$h.ppm
  [ -f "$picture" ] || bg_write_picture desktop "$w" "$h" "$picture"
  bg_show "$picture" 0 0 || exit 1
  set_dpi "$dpi"
  wineserver -p < /dev/null > /dev/null 2>&1   # a warm server, as on a real desktop
  echo "$size on display $DISPLAY (24-bit, $dpi dpi), $runs rounds; warming up"
  for subject in "${subjects[@]}"; do run_one "$size-warm-up" "$subject" > /dev/null; done
  count=${#subjects[@]}
  for round in $(seq 1 "$runs"); do
    for i in $(seq 0 $((count - 1))); do
      run_one "$size" "${subjects[$(((i + round) % count))]}"
    done
  done
  wineserver -k 2> /dev/null
  wineserver -w 2> /dev/null
  bg_cleanup
done

# Medians per size and subject.
median_of() {   # median_of SIZE SUBJECT FIELD
  awk -v s="$1" -v n="$2" -v f="$3" '$1 == s && $2 == n {
      for (i = 3; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == f) print kv[2] } }' "$results" |
    sort -n | awk '{v[NR] = $1} END {if (NR) print v[int((NR + 1) / 2)]; else print "-"}'
}
echo
echo "medians in ms from CreateProcess ($runs rounds; $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)):"
printf '%-14s %-10s %8s %8s %9s %8s %8s %10s\n' screen setup floor peer backdrop page \
  "x peer" "backdrop-floor"
for size in "${size_list[@]}"; do
  floor=$(median_of "$size" floor page_ms)
  peer=$(median_of "$size" peer page_ms)
  for entry in "${setups[@]}"; do
    name=${entry%%|*}
    backdrop=$(median_of "$size" "$name" backdrop_ms)
    page=$(median_of "$size" "$name" page_ms)
    awk -v s="$size" -v n="$name" -v f="$floor" -v p="$peer" -v b="$backdrop" -v g="$page" 'BEGIN {
      printf "%-14s %-10s %8s %8s %9s %8s %8s %10s\n", s, n, f, p, b, g,
        (p > 0 && g != "-") ? sprintf("%.2f", g / p) : "-",
        (f != "-" && b != "-") ? sprintf("%+.1f", b - f) : "-" }'
  done
done
if [ "$stages" = 1 ]; then
  echo
  echo "clocked builds: median ms from the creation of the process to each point (in brackets: median time since the point before)"
  for size in "${size_list[@]}"; do
    for entry in "${setups[@]}"; do
      name=${entry%%|*}
      summary=""
      for point in entry create snapshot darkening title first_paint first_page; do
        summary+=" $point $(median_of "$size" "$name-clocked" "${point}_ms")"
        [ "$point" = entry ] || summary+=" ($(median_of "$size" "$name-clocked" "${point}_stage_ms"))"
      done
      echo "$size $name:$summary"
    done
  done
fi
exit 0
