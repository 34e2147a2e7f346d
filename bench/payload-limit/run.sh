#!/usr/bin/env bash
# Measures whether a game of MIB MiB of incompressible data still installs:
# a folder with Zorvane.exe, Readme.rtf and one file of MIB MiB of random
# bytes is built by scripts/release.sh past its size limit
# (ZV_RELEASE_MAX_BYTES), then installed by the wizard under Wine (the
# end-to-end uninstall.install step) and the large file compared byte for
# byte. Not part of the test command: each size takes minutes and about
# nine times MIB of disk. The figures in the README (Ship your game) came
# from it.
#   bench/payload-limit/run.sh [--help] MIB [WORK_DIR]
# Needs a built tree: bash scripts/build.sh. WORK_DIR defaults to
# build/measure; it is emptied of the large files at the end.
set -uo pipefail
case "${1:-}" in
  -h | --help) sed -n '2,/^set -uo/{/^set -uo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
root=$(cd "$(dirname "$0")/../.." && pwd)
[[ "${1:-}" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 MIB [WORK_DIR]" >&2; exit 2; }
mib=$1 work=$(realpath -m "${2:-$root/build/measure}")
game=$work/game
rm -rf "$game"; mkdir -p "$game"
cp "$root/build/win32/app/Zorvane.exe" "$game/" || exit 1
echo '{\rtf1 read me}' > "$game/Readme.rtf"
head -c $((mib * 1024 * 1024)) /dev/urandom > "$game/big.pak"
ZV_RELEASE_MAX_BYTES=$((mib * 1024 * 1024 + 4096 * 1024)) ZV_BUILD_ROOT=$work \
  bash "$root/scripts/release.sh" --game "$game" --out "$work/setup.exe" || exit 1
cat > "$work/hook.sh" << 'HOOK'
after_check() {
  cmp "$MEASURE_GAME/big.pak" "$DRIVE_C/Program Files/The Zorvane/big.pak" &&
    ok "big.pak installed byte for byte" || fail "big.pak is not installed byte for byte"
}
HOOK
state=$work/wine
ZV_SCREEN=1024x768x24 bash "$root/tests/wine/wine-start.sh" "$state" > /dev/null
MEASURE_GAME=$game ZV_SCENARIO_EXTRA=$work/hook.sh ZV_WINE_STATE=$state ZV_SETUP_EXE=$work/setup.exe \
  ZV_E2E_BIN=$root/build/win32/tests/e2e bash "$root/tests/e2e/run-scenario.sh" uninstall install
status=$?
bash "$root/tests/wine/wine-stop.sh" "$state" > /dev/null 2>&1
echo "$mib MiB: setup.exe $(stat -c %s "$work/setup.exe") bytes, install $([ $status -eq 0 ] && echo passed || echo FAILED)"
rm -rf "$game" "$work/setup.exe" "$work/release/win32/app-stage" "$work/release/win32/generated"/payload.* \
  "$state/scn"
exit $status
