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
exec wine "$@"
