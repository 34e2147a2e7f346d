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
# The status is kept rather than left to set -e, so that a failing test's
# output is still shown.
log=$(mktemp "$state/exec.XXXXXX")
status=0
wine "$@" < /dev/null > "$log" 2>&1 || status=$?
# Wine's 32-bit loader now and then dies of SIGSEGV before the program has
# run (status 139). A program that faults under Wine ends through Wine's own
# exception handling, with a status of its own, so only this start is
# tried once more.
if [ "$status" -eq 139 ]; then
  echo "wine-exec.sh: wine died of SIGSEGV ($(wc -c < "$log") bytes of output); started once more"
  status=0
  wine "$@" < /dev/null > "$log" 2>&1 || status=$?
fi
cat "$log"
rm -f "$log"
exit $status
