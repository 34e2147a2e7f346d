#!/usr/bin/env bash
# Test fixture clean-up: ends the wineservers of this build tree's prefixes
# and the Xvfb that wine-start.sh started, by their recorded ids only.
#   wine-stop.sh STATE_DIR
set -uo pipefail
state=$1
for prefix in "$state/unit" "$state"/scn/*; do
  [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null
done
if [ -f "$state/xvfb.pid" ]; then
  kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  rm -f "$state/xvfb.pid"
fi
exit 0
