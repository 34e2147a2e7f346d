#!/usr/bin/env bash
# Installs what is missing, builds dist/setup.exe and runs it under Wine.
#   scripts/run.sh [--screenshots DIR]
# With a display (DISPLAY set and reachable) the setup opens there, in a
# Wine prefix of its own (build/run-prefix). Without one, or with
# --screenshots, it runs on a virtual display of ZV_SCREEN (WxHxDEPTH,
# default 1024x768x24) over a picture of a desktop, walks the wizard with
# the default choices and saves a picture of each page as an 8-bit PNG in
# DIR (default dist/screenshots/): 1-agreement, 2-destination, 3-copy,
# 4-shortcuts, 5-finished. The README's pictures are made with
#   bash scripts/run.sh --screenshots docs
# ZV_DPI=DPI (default 96) walks at that display scale (LogPixels; 144 is
# 150 %, 192 is 200 %) on a screen of 1024x768 scaled as much (unless
# ZV_SCREEN says otherwise), and names the pictures PAGE-PERCENT.png
# (1-agreement-200.png ...), so they lie beside the 100 % ones:
#   ZV_DPI=192 bash scripts/run.sh --screenshots docs
# The walk ends with status 0 only when it saved the pictures of the
# licence, destination, shortcut and final pages; otherwise it says which
# are missing and where the walk's log is, and ends with status 1. The copy
# page may come and go too fast to be caught; that is said, not failed.
# ZV_BUILD_ROOT chooses another build folder, as for scripts/build.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# usage REASON: what was wrong, then the usage line; exits 2.
usage() {
  echo "run.sh: $1" >&2
  echo "usage: $0 [--screenshots DIR]" >&2
  exit 2
}
shots=
case "${1:-}" in
  "") ;;
  -h | --help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
  --screenshots) [ $# -eq 2 ] || usage "--screenshots takes one folder"; shots=$(realpath -m "$2") ;;
  *) usage "unknown argument $1" ;;
esac
cd "$root"
build=${ZV_BUILD_ROOT:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
bash scripts/install-deps.sh
bash scripts/build.sh
setup_exe=$build/win32/setup.exe

export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "$shots" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export WINEPREFIX="$build/run-prefix"
  echo "Running $setup_exe on display $DISPLAY (Wine prefix $WINEPREFIX)"
  wine "$setup_exe"
  exit 0
fi
shots=${shots:-$root/dist/screenshots}
dpi=${ZV_DPI:-96}
[[ "$dpi" =~ ^[0-9]+$ ]] && [ "$dpi" -ge 96 ] && [ "$dpi" -le 480 ] ||
  { echo "ZV_DPI=$dpi is not a dpi from 96 to 480" >&2; exit 2; }
suffix=
[ "$dpi" -eq 96 ] || suffix=-$((dpi * 100 / 96))
screen=${ZV_SCREEN:-$((1024 * dpi / 96))x$((768 * dpi / 96))x24}
width=${screen%%x*} rest=${screen#*x}
height=${rest%%x*}
[[ "$width$height" =~ ^[0-9]+$ ]] || { echo "ZV_SCREEN=$screen is not WIDTHxHEIGHTxDEPTH" >&2; exit 2; }

state="$build/run-wine"
echo "No display or --screenshots: walking the wizard with its defaults on a virtual ${width}x${height} display at $dpi dpi"
ZV_SCREEN=$screen bash tests/wine/wine-start.sh "$state" > /dev/null
trap 'bash tests/wine/wine-stop.sh "$state"' EXIT
# The display scale, as the control panel sets it, in the prefix that every
# walk copies; a fresh wineserver reads it.
for key in 'HKCU\Control Panel\Desktop' \
  'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
  WINEPREFIX=$state/pristine wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f \
    < /dev/null > /dev/null 2>&1
done
WINEPREFIX=$state/pristine wineserver -w

# A desktop worth darkening: evening sky, sun, hills, icons and a task bar,
# scaled to the screen. The walk shows it as a full-screen X window before
# setup starts.
desktop=$state/desktop.png
x() { echo $((width * $1 / 100)); }
y() { echo $((height * $1 / 100)); }
convert -size "${width}x${height}" gradient:'#2a5cb0-#ffc070' \
  -fill '#fff1c4' -draw "circle $(x 70),$(y 45) $(x 70),$(($(y 45) + height / 12))" \
  -fill '#6a52b8' -draw "polygon 0,$(y 62) $(x 18),$(y 40) $(x 35),$(y 58) $(x 52),$(y 36) \
    $(x 78),$(y 60) $(x 90),$(y 48) $width,$(y 56) $width,$height 0,$height" \
  -fill '#4f9a5a' -draw "polygon 0,$(y 75) $(x 25),$(y 66) $(x 55),$(y 74) $(x 80),$(y 64) \
    $width,$(y 70) $width,$height 0,$height" \
  -fill '#367a45' -draw "polygon 0,$(y 88) $(x 40),$(y 80) $(x 70),$(y 90) $width,$(y 84) \
    $width,$height 0,$height" \
  -fill '#f0f0f8' -draw "roundrectangle 24,110 80,166 8,8" -draw "roundrectangle 24,196 80,252 8,8" \
  -draw "roundrectangle 24,282 80,338 8,8" \
  -fill '#d0d6e8' -draw "rectangle 0,$((height - 36)) $width,$height" \
  -fill '#3a6fd0' -draw "roundrectangle 6,$((height - 30)) 90,$((height - 6)) 4,4" "$desktop"

# The copy page is shown only once its first file is written and closes a
# few dozen milliseconds later with the shipped payload, so the walk catches
# it only now and then: it is walked again, up to five times, until all five
# pages are taken.
pages="1-agreement 2-destination 3-copy 4-shortcuts 5-finished"
out=$state/out/shell.walk_defaults
# pages_in DIR: how many pictures of the pages DIR holds (0 for none, or no
# DIR, where ls would fail and end the script through set -e).
pages_in() { find "$1" -maxdepth 1 -name '[1-5]-*.png' 2> /dev/null | wc -l; }
best=
for try in 1 2 3 4 5; do
  ZV_SCREEN=$screen ZV_WALK_DESKTOP=$desktop ZV_WINE_STATE="$state" \
    ZV_SETUP_EXE="$setup_exe" ZV_E2E_BIN="$build/win32/tests/e2e" \
    bash tests/e2e/run-scenario.sh shell walk_defaults > "$state/walk.log" 2>&1 || true
  grep -E '^(ok  |FAIL)' "$state/walk.log" | grep -vE 'screenshot|X window|no picture' || true
  taken=$(pages_in "$out")
  if [ -z "$best" ] || [ "$taken" -gt "$(pages_in "$best")" ]; then
    rm -rf "$state/best"
    cp -r "$out" "$state/best"
    best=$state/best
  fi
  [ "$taken" -eq 5 ] && break
  [ "$try" -eq 5 ] || echo "(walk $try caught $taken of the 5 pages; walking again)"
done

mkdir -p "$shots"
missing=
for page in $pages; do
  rm -f "$shots/$page$suffix.png"
  # 8-bit PNG: the darkened pictures hold few colours, and a 256-colour
  # palette keeps each file small; without time stamps, the same screen gives
  # the same file.
  if [ -f "$best/$page.png" ]; then
    convert "$best/$page.png" -colors 256 -strip \
      -define png:exclude-chunks=date,time "PNG8:$shots/$page$suffix.png"
  fi
  [ -f "$shots/$page$suffix.png" ] || missing="$missing $page"
done
if [ "$missing" = " 3-copy" ] || [ -z "$missing" ]; then
  echo "Pictures of the pages are in $shots/:"
  ls -l "$shots" | grep -E " [1-5]-[a-z]+$suffix\.png\$" | awk '{print "  " $NF " (" $5 " bytes)"}'
  [ -z "$missing" ] || echo "(the copy page came and went too fast to be captured in five walks)"
  exit 0
fi
{
  echo "run.sh: five walks of the wizard saved no picture of these pages:$missing"
  echo "  the last walk's log: $state/walk.log"
  grep -E '^FAIL' "$state/walk.log" | head -6 | sed 's/^/    /'
  echo "  Wine's messages: $out/wine-stderr.log"
} >&2
exit 1
