#!/usr/bin/env bash
# Runs one Windows program of the build under Wine, on the private display,
# in the prefix the fixture prepared (the "unit" copy unless ZV_WINEPREFIX
# names another). CMake uses it as the cross-compiling emulator.
#   wine-exec.sh STATE_DIR PROGRAM.exe [ARGS...]
set -euo pipefail
state=$1; shift
export DISPLAY=$(cat "$state/display")
export WINEPREFIX=${ZV_WINEPREFIX:-$state/unit}
export WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
# Wine starts helper processes (services, the desktop window) on first use
# that live as long as the wineserver; they must not inherit the test's
# output pipe, or CTest waits for them. So the output goes through a file.
log=$(mktemp "$state/exec.XXXXXX")
wine "$@" < /dev/null > "$log" 2>&1
status=$?
cat "$log"
rm -f "$log"
exit $status
