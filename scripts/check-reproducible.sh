#!/usr/bin/env bash
# Builds the shipped Windows programs a second time and compares their bytes
# with a first build of the same sources:
#   scripts/check-reproducible.sh [--help] FIRST_WIN32_BUILD [WORK_DIR]
# The second build runs from a copy of the working tree in another folder
# (WORK_DIR, by default "repro" beside the first build), later, with another
# SOURCE_DATE_EPOCH, and makes only what ships: the build tools, then
# setup.exe with the payload and the two programs in it. setup.exe,
# Zorvane.exe, uninstall.exe and the payload must be byte-identical.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-}" in
  -h | --help) sed -n '2,/^set -/{/^set -/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 FIRST_WIN32_BUILD [WORK_DIR]" >&2; exit 2; }
[ -f "$1/setup.exe" ] ||
  { echo "check-reproducible.sh: $1 is no Windows build tree with a setup.exe (build it first: bash scripts/build.sh)" >&2; exit 2; }
first=$(cd "$1" && pwd)
work=${2:-$(dirname "$first")/repro}
case "$work" in /*) ;; *) work="$PWD/$work" ;; esac
jobs=${ZV_JOBS:-$(nproc)}
rm -rf "$work"
mkdir -p "$work/sources"

# The working tree as it is: tracked and new files, not what git ignores.
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  tar --null --ignore-failed-read -T - -cf -) | tar -C "$work/sources" -xf -

# Another time: a date a year and a day away, where anything that reads the
# clock or SOURCE_DATE_EPOCH would show.
export SOURCE_DATE_EPOCH=$(($(date +%s) + 366 * 86400))
cd "$work/sources"
cmake --preset native -B "$work/native" > "$work/native-configure.log" 2>&1 ||
  { cat "$work/native-configure.log"; exit 1; }
cmake --build "$work/native" -j "$jobs" --target zv-artgen zv-pack zv-appgen zv-names > "$work/native-build.log" 2>&1 ||
  { tail -30 "$work/native-build.log"; exit 1; }
cmake --preset win32 -B "$work/win32" -DZV_HOST_TOOLS="$work/native/bin" \
  > "$work/win32-configure.log" 2>&1 || { cat "$work/win32-configure.log"; exit 1; }
cmake --build "$work/win32" -j "$jobs" --target setup > "$work/win32-build.log" 2>&1 ||
  { tail -30 "$work/win32-build.log"; exit 1; }

status=0
for file in setup.exe app/Zorvane.exe uninstall/uninstall.exe generated/payload.gz generated/payload.dat; do
  if cmp -s "$first/$file" "$work/win32/$file"; then
    echo "same  $(sha256sum < "$first/$file" | cut -c1-16)  $file"
  else
    status=1
    echo "DIFFERENT  $file: $(cmp -l "$first/$file" "$work/win32/$file" 2> /dev/null | wc -l) bytes," \
      "first at byte $(cmp "$first/$file" "$work/win32/$file" 2>&1 | grep -o 'byte [0-9]*' | cut -d' ' -f2)"
  fi
done
[ $status -eq 0 ] && echo "the second build ($work) gives the same bytes"
exit $status
