#!/usr/bin/env bash
# Test fixture: starts a private Xvfb display and prepares a pristine Wine
# prefix in STATE_DIR, plus a working copy ("unit") for the Win32 unit tests.
# The pristine prefix is kept between runs in the same build tree (a first
# wineboot takes about 15 s); every scenario works on its own copy of it.
#   wine-start.sh STATE_DIR
# Screen geometry and depth: ZV_SCREEN (default 1024x768x24).
set -euo pipefail
state=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$state"
screen=${ZV_SCREEN:-1024x768x24}

# A display of our own for the Win32 unit tests (each end-to-end scenario
# starts another of its own).
source "$here/xvfb.sh"
if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
  :   # already running for this build tree
else
  zv_start_xvfb "$state" "$screen"
  echo "$ZV_XVFB_PID" > "$state/xvfb.pid"
  echo "$DISPLAY" > "$state/display"
fi
export DISPLAY=$(cat "$state/display")
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$state/pristine/.zv-ready" ]; then
  rm -rf "$state/pristine"
  export WINEPREFIX="$state/pristine"
  wineboot -i > "$state/wineboot.log" 2>&1
  # Without a window manager Wine waits about 4 s at every window change
  # unless it treats its windows as unmanaged.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # A crashing test program must fail its test, not wait for a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$state/pristine/.zv-ready"
fi

"$here/prefix-copy.sh" "$state/pristine" "$state/unit"
# A persistent wineserver for the unit prefix: each Win32 unit test is its
# own process, and a cold server adds about 2 s to every one of them.
WINEPREFIX="$state/unit" wineserver -p < /dev/null > /dev/null 2>&1
echo "wine ready: display $DISPLAY, prefix $state/pristine"
