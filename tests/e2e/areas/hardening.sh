# Files on disk for the hardening scenarios (sourced by run-scenario.sh).

# A comctl32.dll beside setup.exe, and Wine told to prefer a native DLL of
# that name: then it searches the program's folder first, as Windows does
# for a DLL that is not one of its KnownDLLs.
prepare_planted_comctl32() {
  cp "$ZV_E2E_BIN/planted_comctl32.dll" "$DRIVE_C/zvtest/comctl32.dll" || return 1
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;comctl32=n,b"
}
check_planted_comctl32() {
  local marker="$DRIVE_C/zvtest/planted-dll-loaded.txt" n
  if [ -e "$marker" ]; then fail "the planted DLL was loaded by: $(cat "$marker")"; else ok "no marker of the planted DLL"; fi
  n=$(find "$DRIVE_C/Program Files/The Zorvane" -type f 2>/dev/null | wc -l)
  if [ "$n" -eq 19 ]; then ok "19 files installed"; else fail "$n files installed, expected 19"; fi
}

# Zorvane.exe and uninstall.exe as they are packed into the payload.
prepare_installed_programs_start() {
  local stage; stage="$(dirname "$ZV_SETUP_EXE")/app-stage"
  cp "$stage/Zorvane.exe" "$stage/uninstall.exe" "$DRIVE_C/zvtest/"
}

# The user's TEMP and TMP (HKCU\Environment, which any unelevated program of
# the user may change) name C:\usertemp. Until the check, a watcher lists
# every 20 ms what is there and in the Windows folder's Temp, where an
# elevated setup's work folder goes (under Wine every process is elevated).
prepare_user_temp_untouched() {
  mkdir -p "$DRIVE_C/usertemp"
  wine reg add 'HKCU\Environment' /v TEMP /d 'C:\usertemp' /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Environment' /v TMP /d 'C:\usertemp' /f >/dev/null 2>&1 || return 1
  wineserver -k; wineserver -w  # the next program reads the new environment
  while :; do find "$DRIVE_C/usertemp" "$DRIVE_C/windows/temp" -mindepth 1; sleep 0.02; done \
    >"$OUT/seen.txt" 2>/dev/null &
  echo $! >"$OUT/watch.pid"
}
cleanup_user_temp_untouched() { kill "$(cat "$OUT/watch.pid")" 2>/dev/null; }
check_user_temp_untouched() {
  local work n
  cleanup_user_temp_untouched
  grep -q /usertemp/ "$OUT/seen.txt" && fail "made in the user's TEMP: $(grep /usertemp/ "$OUT/seen.txt" | sort -u)" ||
    ok "nothing appeared in the user's TEMP during the install"
  # The watcher looks every 20 ms: filesdata.gz lives only as long as the
  # gzip step (a few ms for this payload), so seeing either work file in the
  # work folder there shows where setup worked.
  work=$(grep -oE '/windows/temp/zv[0-9a-f]{16}/filesdata\.(gz|dat)$' "$OUT/seen.txt" | sort -u)
  [ -n "$work" ] && ok "the work files were in the Windows folder's Temp: $(echo $work)" ||
    fail "no work file seen in the Windows folder's Temp"
  [ -z "$(ls -A "$DRIVE_C/windows/temp")" ] && ok "nothing left there" || fail "left: $(ls -A "$DRIVE_C/windows/temp")"
  n=$(find "$DRIVE_C/Program Files/The Zorvane" -type f | wc -l)
  [ "$n" -eq 19 ] && ok "19 files installed" || fail "$n files installed, expected 19"
}
