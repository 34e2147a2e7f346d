#!/usr/bin/env bash
# Runs one end-to-end scenario in a fresh copy of the pristine Wine prefix:
#   run-scenario.sh AREA SCENARIO
# Environment (set by CTest): ZV_WINE_STATE, ZV_SETUP_EXE (the built
# setup.exe), ZV_E2E_BIN (folder of the e2e_AREA.exe drivers); ZV_SCREEN
# (default 1024x768x24) for the scenario's own display.
#
# The area's shell file tests/e2e/areas/AREA.sh, when present, may define
#   prepare_SCENARIO  - staged before setup runs (drives, registry, files);
#   check_SCENARIO    - checks after the driver passed (files, wine reg query,
#                       lnkinfo); a non-zero status fails the test;
#   cleanup_SCENARIO  - always run at the end (unmount, ...).
# They see WINEPREFIX, DISPLAY, DRIVE_C (the prefix's drive_c), OUT (the
# scenario's artefact folder) and the helpers below.
# ZV_SCENARIO_EXTRA may name one more shell file, sourced after the area's:
# its after_prepare and after_check, when defined, run after the
# scenario's own prepare and check (the release test checks its game's
# files there, between the install and the removal).
set -uo pipefail
area=$1 scenario=$2
here=$(cd "$(dirname "$0")" && pwd)
state=$ZV_WINE_STATE
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$state/scn/$area.$scenario"
export OUT="$state/out/$area.$scenario"
export DRIVE_C="$WINEPREFIX/drive_c"
rm -rf "$OUT"; mkdir -p "$OUT"
# A display of the scenario's own: scenarios run in parallel, and windows of
# one must not take the focus from, or cover the screen pixels of, another.
source "$here/../wine/xvfb.sh"
zv_start_xvfb "$OUT" "${ZV_SCREEN:-1024x768x24}" || exit 1
scenario_xvfb=$ZV_XVFB_PID
"$here/../wine/prefix-copy.sh" "$state/pristine" "$WINEPREFIX"

# The setup runs from a folder of its own on drive C, as a download would.
mkdir -p "$DRIVE_C/zvtest"
cp "$ZV_SETUP_EXE" "$DRIVE_C/zvtest/setup.exe"
SETUP_WIN='C:\zvtest\setup.exe'

fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok  : $*"; }
# expect_file PATH-under-drive_c: the file exists.
expect_file() { if [ -f "$DRIVE_C/$1" ]; then ok "file C:/$1 exists"; else fail "file C:/$1 missing"; fi; }
expect_no_file() { if [ ! -e "$DRIVE_C/$1" ]; then ok "C:/$1 absent"; else fail "C:/$1 present"; fi; }
# reg_value KEY NAME: prints the REG_SZ data of a value ("" if missing).
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v n="$2" 'BEGIN{IGNORECASE=1} $1==n && $2 ~ /^REG_/ {sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]*/, ""); print; exit}'
}
expect_reg() {
  local got; got=$(reg_value "$1" "$2")
  if [ "$got" = "$3" ]; then ok "$1 [$2] = $3"; else fail "$1 [$2] is '$got', expected '$3'"; fi
}

# Wine's helper processes (services, desktop window) start with the first
# program in the prefix and live as long as its wineserver; started here
# with nothing of ours inherited, so no pipe waits for them.
wine cmd /c exit < /dev/null > /dev/null 2>&1

status=0
[ -f "$here/areas/$area.sh" ] && source "$here/areas/$area.sh"
[ -z "${ZV_SCENARIO_EXTRA:-}" ] || source "$ZV_SCENARIO_EXTRA"
if declare -F "prepare_$scenario" >/dev/null; then "prepare_$scenario" || fail "prepare_$scenario"; fi
if [ $status -eq 0 ] && declare -F after_prepare >/dev/null; then after_prepare || fail "after_prepare"; fi

if [ $status -eq 0 ]; then
  out_win="Z:${OUT//\//\\}"
  wine "$ZV_E2E_BIN/e2e_$area.exe" "$scenario" "$SETUP_WIN" "$out_win" \
    < /dev/null > "$OUT/driver.log" 2> "$OUT/wine-stderr.log"
  rc=$?
  cat "$OUT/driver.log"
  [ $rc -eq 0 ] || fail "driver e2e_$area.exe $scenario exited with $rc"
  if [ $rc -eq 0 ] && declare -F "check_$scenario" >/dev/null; then
    "check_$scenario" || fail "check_$scenario"
  fi
  if [ $status -eq 0 ] && declare -F after_check >/dev/null; then after_check || fail "after_check"; fi
fi
# Wine's processes go first, so that nothing of theirs keeps a staged mount
# busy when the clean-up unmounts it.
wineserver -k 2>/dev/null
if declare -F "cleanup_$scenario" >/dev/null; then "cleanup_$scenario"; fi

# Screenshots the driver took, also as PNG for viewing.
for bmp in "$OUT"/*.bmp; do
  [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
done
kill "$scenario_xvfb" 2>/dev/null
[ $status -eq 0 ] && rm -rf "$WINEPREFIX"
exit $status
