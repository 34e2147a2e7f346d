#!/usr/bin/env bash
# Builds a setup.exe that installs a folder of a game's files:
#   scripts/release.sh [--help]
#   scripts/release.sh [--game DIR] [--pfx FILE [--password-file FILE]
#                      [--timestamp URL]] [--out FILE]
# --game: the folder to ship (README: Ship your game). It must hold the
#   game's program "Zorvane.exe" and "Readme.rtf" at the top level; the
#   setup adds the project's own uninstall.exe beside them. Every file below
#   it is installed under its path there, byte for byte. Without --game the
#   sample application is packed, as scripts/run.sh ships it.
# The folder is checked before anything is built: each problem is told on a
#   line of its own, naming the file and the rule, and nothing is written.
# --pfx, --password-file, --timestamp: sign Zorvane.exe and uninstall.exe
#   before they are packed and setup.exe after it is linked, with
#   scripts/sign.sh (its --help says more), then verify all three.
# --out: where setup.exe is written (default dist/release/setup.exe); it is
#   moved there only once built, signed and verified.
# The build tree is build/release (under ZV_BUILD_ROOT when set): native
# (the build tools) and win32 (setup.exe). The same folder and the same
# commit give the same setup.exe, byte for byte, unless a time-stamp was
# asked for. Ends with one line: files, bytes, compressed bytes, signed or
# not. ZV_JOBS sets the compile jobs (default: one per processor);
# ZV_RELEASE_MAX_BYTES another size limit than the setup's, only to measure
# that limit again (README: Ship your game).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage_line="usage: $0 [--game DIR] [--pfx FILE [--password-file FILE] [--timestamp URL]] [--out FILE]"
# usage REASON: what was wrong, then the usage line; exits 2.
usage() {
  echo "release.sh: $1" >&2
  echo "$usage_line" >&2
  exit 2
}
game= pfx= password_file= timestamp= out=
while [ $# -gt 0 ]; do
  case $1 in
    -h | --help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
    --game | --pfx | --password-file | --timestamp | --out)
      [ $# -ge 2 ] && [ -n "$2" ] || usage "$1 needs a value"
      case $1 in
        --game) game=$2 ;;
        --pfx) pfx=$2 ;;
        --password-file) password_file=$2 ;;
        --timestamp) timestamp=$2 ;;
        --out) out=$2 ;;
      esac
      shift 2 ;;
    *) usage "unknown argument $1" ;;
  esac
done
[ -n "$pfx" ] || [ -z "$password_file$timestamp" ] || usage "--password-file and --timestamp go with --pfx"
out=$(realpath -m "${out:-$root/dist/release/setup.exe}")
[ -z "$game" ] || { [ -d "$game" ] || usage "--game $game is not a folder"; game=$(realpath "$game"); }
for file in "$pfx" "$password_file"; do
  [ -z "$file" ] || [ -r "$file" ] || usage "cannot read $file"
done
[ -z "$pfx" ] || pfx=$(realpath "$pfx")
[ -z "$password_file" ] || password_file=$(realpath "$password_file")
# The setup.exe of an earlier run would pass for this one's.
rm -f "$out"

cd "$root"
bash scripts/install-deps.sh
build=${ZV_BUILD_ROOT:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
tree=$build/release
jobs=${ZV_JOBS:-$(nproc)}
mkdir -p "$tree"
# quiet LOG COMMAND...: runs a build step, its output in LOG, shown when it fails.
quiet() {
  local log=$1; shift
  "$@" > "$log" 2>&1 || { tail -40 "$log" >&2; echo "release.sh: failed, see $log" >&2; exit 1; }
}

echo "Building the build tools in $tree/native"
quiet "$tree/native.log" cmake --preset native -B "$tree/native"
quiet "$tree/native-build.log" cmake --build "$tree/native" -j "$jobs" \
  --target zv-artgen zv-pack zv-appgen zv-names zv-game-check

game_args=(-DZV_GAME_DIR= -DZV_GAME_ENTRY_COUNT=)
if [ -n "$game" ]; then
  if ! facts=$("$tree/native/bin/zv-game-check" ${ZV_RELEASE_MAX_BYTES:+--max-bytes "$ZV_RELEASE_MAX_BYTES"} \
    "$game" 2> "$tree/refusals.txt"); then
    echo "release.sh: $game cannot be shipped:" >&2
    sed 's/^/  /' "$tree/refusals.txt" >&2
    exit 1
  fi
  game_args=(-DZV_GAME_DIR="$game" -DZV_GAME_ENTRY_COUNT=$((${facts% *} + 1)))
fi

sign_args=()
[ -z "$pfx" ] || sign_args=(--pfx "$pfx")
[ -z "$password_file" ] || sign_args+=(--password-file "$password_file")
[ -z "$timestamp" ] || sign_args+=(--timestamp "$timestamp")
sign_list=$(IFS=';'; echo "${sign_args[*]}")
echo "Building setup.exe in $tree/win32"
quiet "$tree/win32.log" cmake --preset win32 -B "$tree/win32" -DZV_HOST_TOOLS="$tree/native/bin" \
  "${game_args[@]}" "-DZV_SIGN_ARGS=$sign_list"
# Staged and packed anew every time: a file of the folder replaced by one
# with an older time must not leave the old bytes in the payload.
rm -f "$tree/win32/generated/payload_names.h"
quiet "$tree/win32-build.log" cmake --build "$tree/win32" -j "$jobs" --target setup

stage=$tree/win32/app-stage
mkdir -p "$(dirname "$out")"
work=$(mktemp -d "$(dirname "$out")/.release.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$tree/win32/setup.exe" "$work/setup.exe"
signed="not signed"
if [ -n "$pfx" ]; then
  quiet "$work/sign.log" bash scripts/sign.sh "${sign_args[@]}" "$work/setup.exe"
  # The certificates of the .pfx as the trust anchor, for a certificate of
  # no public authority (a trial one, a company's own); a public one
  # verifies against the system's store as well.
  passin=pass:
  [ -z "$password_file" ] || passin=file:$password_file
  openssl pkcs12 -in "$pfx" -nokeys -out "$work/certs.pem" -passin "$passin" 2> "$work/openssl.log" ||
    { cat "$work/openssl.log" >&2; echo "release.sh: cannot read the certificates of $pfx" >&2; exit 1; }
  for exe in "$work/setup.exe" "$stage/Zorvane.exe" "$stage/uninstall.exe"; do
    if ! osslsigncode verify -CAfile "$work/certs.pem" -in "$exe" > "$work/verify.log" 2>&1 &&
      ! osslsigncode verify -in "$exe" > "$work/verify-system.log" 2>&1; then
      cat "$work/verify.log" >&2
      echo "release.sh: the signature of $exe does not verify" >&2
      exit 1
    fi
  done
  signed="signed and verified (setup.exe, Zorvane.exe, uninstall.exe)"
  [ -z "$timestamp" ] || signed="$signed, time-stamped by $timestamp"
fi
mv -f "$work/setup.exe" "$out"

files=$(find "$stage" -type f | wc -l)
bytes=$(find "$stage" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')
packed=$(stat -c %s "$tree/win32/generated/payload.gz")
echo "$out: ${game:-the sample application} + uninstall.exe: $files files, $bytes bytes," \
  "$packed bytes compressed, setup.exe $(stat -c %s "$out") bytes, $signed"
