#!/usr/bin/env bash
# Two folders that cannot be shipped: scripts/release.sh refuses each before
# the setup is built, one line per problem naming the file and the rule, and
# leaves no setup.exe (an earlier one at --out is removed, not passed off as
# this folder's).
#   release-refusals.sh WORK_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$1
status=0
fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok  : $*"; }
rm -rf "$work/bad1" "$work/bad2" "$work/out"
mkdir -p "$work/bad1/Data" "$work/bad2/Maps" "$work/out" || exit 1

# The first: no readme, an uninstall.exe of its own, an empty file, a
# symbolic link and a pipe.
echo program > "$work/bad1/Zorvane.exe"
echo own > "$work/bad1/uninstall.exe"
: > "$work/bad1/Data/empty.dat"
ln -s ../Zorvane.exe "$work/bad1/Data/link.exe"
mkfifo "$work/bad1/Data/pipe"
# The second: the program under another case, names Windows takes for one
# (in ASCII and in UTF-8, a file where a folder must be), names Windows
# cannot hold or changes, a name too long for the default install folder,
# two of setup's part-file form, an empty folder, and 1.1 GiB in a sparse
# file.
b2=$work/bad2 uuml=$'Docs/\xc3\xbc' Uuml=$'Docs/\xc3\x9c' latin1=$'Maps/latin1-\xe9.txt'
mkdir -p "$b2/Docs" "$b2/Data" "$b2/Music" "$b2/Empty"
echo program > "$b2/zorvane.exe"
echo readme > "$b2/Readme.rtf"
echo a > "$b2/Maps/Map1.map"
echo b > "$b2/Maps/MAP1.MAP"
long=$(printf 'n%.0s' $(seq 1 240))
for name in "Maps/$long" Maps/Map2.map.0123456789abcdef.zvpart Music/keep.zvpart.old \
  "${uuml}bersicht.txt" "${Uuml}bersicht.txt" data Data/x.dat Maps/nul.map Maps/ends-with-dot. \
  'Maps/back\slash' "$latin1"; do
  echo c > "$b2/$name"
done
truncate -s 1100M "$b2/Maps/huge.pak"

# refused NAME LINE...: release.sh refuses folder NAME with exactly these lines.
refused() {
  local name=$1; shift
  echo stale > "$work/out/setup.exe"
  ZV_BUILD_ROOT="$work/build" bash "$root/scripts/release.sh" --game "$work/$name" \
    --out "$work/out/setup.exe" > "$work/$name.log" 2>&1
  local rc=$?
  [ $rc -eq 1 ] && ok "$name refused with status 1" || fail "$name: status $rc"
  grep -a '^  ' "$work/$name.log" | sed 's/^  //' | sort > "$work/$name.got"
  printf '%s\n' "$@" | sort > "$work/$name.want"
  if diff "$work/$name.want" "$work/$name.got" > "$work/$name.diff"; then
    ok "$name: the $# lines, each naming the file and the rule"
  else
    fail "$name: other lines than expected:"; cat "$work/$name.diff"
  fi
  [ ! -e "$work/out/setup.exe" ] && ok "$name: no setup.exe at --out" || fail "$name: a setup.exe is left"
  [ ! -e "$work/build/release/win32" ] && ok "$name: nothing of the setup was built" ||
    fail "$name: a setup build tree was made"
}
b1=$work/bad1
limit=$(sed -n 's/^inline constexpr uint64_t GameFolderMaxBytes = \([0-9]*\);.*/\1/p' \
  "$root/tools/packer/game_folder.h")
refused bad1 \
  "$b1/Readme.rtf: missing; the Start-menu link \"Readme\" opens it" \
  "$b1/uninstall.exe: the setup adds the project's own uninstall.exe here; take this one out" \
  "$b1/Data/empty.dat: an empty file; every file of the payload needs at least 1 byte (the archive's rule): leave it out or give it content" \
  "$b1/Data/link.exe: a symbolic link; only plain files and folders are shipped" \
  "$b1/Data/pipe: not a plain file or folder (a device, pipe or socket)"
refused bad2 \
  "$b2/Zorvane.exe: missing; the game's program must be at the top level under this name (the links and the App Paths entry start it)" \
  "$b2/Maps/Map1.map: the same name as Maps/MAP1.MAP on Windows, which ignores case" \
  "$b2/${uuml}bersicht.txt: the same name as ${Uuml}bersicht.txt on Windows, which ignores case" \
  "$b2/data: a file, where Data/x.dat needs a folder of that name on Windows, which ignores case" \
  "$b2/Maps/nul.map: a component of the name is a reserved device name" \
  "$b2/Maps/ends-with-dot.: a component of the name ends in a dot or a space" \
  "$b2/Maps/back\\slash: the name holds \"\\\", which Windows takes as a folder separator" \
  "$b2/$latin1: the name is not UTF-8, so Windows would write other characters" \
  "$b2/Music/keep.zvpart.old: named like setup's part files (\".zvpart\"), which setup and the uninstaller delete as left over" \
  "$b2/Empty: an empty folder, which the payload cannot hold (it holds files only): put a file in it or leave it out" \
  "$b2/Maps/$long: the name is too long for the default install folder \"C:\\Program files\\The Zorvane\" (259 characters in all)" \
  "$b2/Maps/Map2.map.0123456789abcdef.zvpart: named like setup's part files (\".zvpart\"), which setup and the uninstaller delete as left over" \
  "$b2: its files hold $(find "$b2" -type f -printf '%s\n' | awk '{s += $1} END {print s}') bytes, more than the $limit a setup can carry (README: Ship your game)"
exit $status
