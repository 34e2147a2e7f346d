#!/usr/bin/env bash
# Copies a Wine prefix for one scenario. The system DLLs, most of the
# prefix's size, are never written by the programs under test, so they are
# hard-linked; everything else (registry, users, Program Files) is copied.
#   prefix-copy.sh FROM TO
set -euo pipefail
from=$1 to=$2
if [ -d "$to" ]; then
  WINEPREFIX="$to" wineserver -k 2>/dev/null || true
  rm -rf "$to"
fi
mkdir -p "$to/drive_c/windows"
# Everything at the top, dot files included: without .update-timestamp the
# first program in the copy would rebuild the prefix (several seconds, and a
# second program started meanwhile hangs).
for entry in "$from"/* "$from"/.[!.]*; do
  [ -e "$entry" ] || [ -L "$entry" ] || continue
  [ "$(basename "$entry")" = drive_c ] || cp -a "$entry" "$to/"
done
for entry in "$from"/drive_c/*; do
  name=$(basename "$entry")
  [ "$name" = windows ] || cp -a "$entry" "$to/drive_c/"
done
for entry in "$from"/drive_c/windows/*; do
  name=$(basename "$entry")
  case "$name" in
    system32|syswow64|winsxs|Microsoft.NET|mono|gecko) cp -al "$entry" "$to/drive_c/windows/" ;;
    *) cp -a "$entry" "$to/drive_c/windows/" ;;
  esac
done
