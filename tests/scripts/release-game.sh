#!/usr/bin/env bash
# A publisher ships a game of their own: a folder of a few dozen files in
# subfolders, some binary and one of 40 MiB, is built into a signed
# setup.exe by scripts/release.sh, which says what it packed; the same
# folder gives the same bytes again; then the wizard installs it under
# Wine (the end-to-end machinery's uninstall.add_remove_programs scenario):
# every file byte for byte, the links and the Add/Remove Programs entry
# right, and the removal through Add/Remove Programs leaves drive C as it
# was before the install.
#   release-game.sh WORK_DIR
# Environment as for tests/e2e/run-scenario.sh (ZV_WINE_STATE, ZV_E2E_BIN);
# ZV_APP_EXE, a built Zorvane.exe to ship as the game's program.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$1
status=0
fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok  : $*"; }
rm -rf "$work/game" "$work/ship" "$work/keys"
mkdir -p "$work/game" "$work/ship" "$work/keys" || exit 1
game=$work/game

# The game: its program and readme, text and binary files in subfolders
# two levels deep, names with spaces and UTF-8, and one large file.
cp "$ZV_APP_EXE" "$game/Zorvane.exe"
printf '{\\rtf1\\ansi Read me first.\\par}\n' > "$game/Readme.rtf"
mkdir -p "$game/Data/Levels" "$game/Data/Music" "$game/Saves" "$game/Docs/Übersicht"
for i in $(seq 1 12); do
  printf 'level %d\n%s\n' "$i" "$(seq 1 $((i * 50)))" > "$game/Data/Levels/level$i.txt"
done
for i in $(seq 1 10); do
  head -c $((i * 7919)) /dev/urandom > "$game/Data/Music/track $i.ogg"
done
for i in 1 2 3; do echo "slot $i" > "$game/Saves/slot$i.sav"; done
echo "Handbuch" > "$game/Docs/Übersicht/Handbuch.txt"
echo "[game]" > "$game/Zorvane.ini"
echo "a name a CMake list would split" > "$game/Docs/notes;draft.txt"
head -c $((40 * 1024 * 1024)) /dev/urandom > "$game/Data/world.pak"
files=$(find "$game" -type f | wc -l)
echo "game folder: $files files, $(du -sb "$game" | cut -f1) bytes"

source "$root/tests/hardening/throwaway-cert.sh"
throwaway_certificate "$work/keys" || exit 1
export SOURCE_DATE_EPOCH=1700000000
release() {
  ZV_BUILD_ROOT="$work/build" bash "$root/scripts/release.sh" --game "$game" \
    --pfx "$work/keys/publisher.pfx" --password-file "$work/keys/password.txt" --out "$1"
}
if release "$work/ship/setup.exe" > "$work/release.log" 2>&1; then
  ok "release.sh built $work/ship/setup.exe"
else
  cat "$work/release.log"; fail "release.sh failed"; exit 1
fi
summary=$(tail -1 "$work/release.log")
echo "$summary"
packed=$(stat -c %s "$work/build/release/win32/generated/payload.gz")
[[ "$summary" == *": $((files + 1)) files, "*", $packed bytes compressed, "*"signed and verified"* ]] &&
  ok "the summary names $((files + 1)) files, $packed compressed bytes and the signatures" ||
  fail "summary: $summary"
osslsigncode verify -CAfile "$work/keys/cert.pem" -in "$work/ship/setup.exe" > "$work/verify.log" 2>&1 &&
  ok "setup.exe carries a signature that verifies" || { cat "$work/verify.log"; fail "setup.exe signature"; }

# The same folder and the same commit give the same bytes.
if release "$work/ship/again.exe" > "$work/release-again.log" 2>&1 &&
  cmp -s "$work/ship/setup.exe" "$work/ship/again.exe"; then
  ok "a second release of the same folder gives the same bytes"
else
  fail "a second release differs"
fi
rm -f "$work/ship/again.exe"
[ $status -eq 0 ] || exit $status

# The wizard installs it; the scenario's own checks then remove it through
# Add/Remove Programs and compare drive C with the state before.
mkdir -p "$work/ship/app-stage"
cp "$work/build/release/win32/app-stage/uninstall.exe" "$work/ship/app-stage/"
cmp -s "$game/Zorvane.exe" "$work/build/release/win32/app-stage/Zorvane.exe" &&
  fail "Zorvane.exe was packed unsigned"
cp "$work/build/release/win32/app-stage/Zorvane.exe" "$work/ship/Zorvane-signed.exe"
ZV_SIGNED_APP="$work/ship/Zorvane-signed.exe" ZV_CERT="$work/keys/cert.pem" \
  ZV_SETUP_EXE="$work/ship/setup.exe" ZV_SCENARIO_EXTRA="$here/release-game-checks.sh" \
  ZV_GAME="$game" ZV_GAME_FILES=$files \
  bash "$root/tests/e2e/run-scenario.sh" uninstall add_remove_programs || status=1
exit $status
