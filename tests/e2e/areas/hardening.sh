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
# the user may change) name C:\usertemp. A watcher lists, every 20 ms until
# the check, what appears there and what setup makes in the Windows
# folder's Temp, where an elevated setup's work folder goes (under Wine
# every process is elevated).
hard_user_temp="$DRIVE_C/usertemp"
hard_watch() {
  while :; do
    find "$hard_user_temp" -mindepth 1 >>"$OUT/usertemp-seen.txt" 2>/dev/null
    find "$DRIVE_C/windows/temp" -mindepth 1 >>"$OUT/windows-temp-seen.txt" 2>/dev/null
    sleep 0.02
  done
}
prepare_user_temp_untouched() {
  mkdir -p "$hard_user_temp"
  wine reg add 'HKCU\Environment' /v TEMP /t REG_SZ /d 'C:\usertemp' /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Environment' /v TMP /t REG_SZ /d 'C:\usertemp' /f >/dev/null 2>&1 || return 1
  # The next program reads the new environment once this prefix's server ends.
  wineserver -k; wineserver -w
  : >"$OUT/usertemp-seen.txt"; : >"$OUT/windows-temp-seen.txt"
  hard_watch &
  echo $! >"$OUT/watch.pid"
}
hard_stop_watch() {
  [ -f "$OUT/watch.pid" ] && kill "$(cat "$OUT/watch.pid")" 2>/dev/null && wait "$(cat "$OUT/watch.pid")" 2>/dev/null
  rm -f "$OUT/watch.pid"
}
check_user_temp_untouched() {
  local n work
  hard_stop_watch
  if [ -s "$OUT/usertemp-seen.txt" ]; then
    fail "setup made in the user's TEMP: $(sort -u "$OUT/usertemp-seen.txt" | head -5 | tr '\n' ' ')"
  else
    ok "nothing appeared in the user's TEMP during the install"
  fi
  work=$(grep -E '/windows/temp/zv[0-9a-f]{16}$' "$OUT/windows-temp-seen.txt" | sort -u)
  if [ "$(echo "$work" | grep -c .)" -eq 1 ]; then ok "the work folder was ${work#"$DRIVE_C"/}"
  else fail "no single work folder seen in the Windows folder's Temp: $(echo $work)"; fi
  if grep -qE '/windows/temp/zv[0-9a-f]{16}/filesdata\.(gz|dat)$' "$OUT/windows-temp-seen.txt"; then
    ok "the work files were seen in it"; else fail "the work files were never seen in the work folder"; fi
  if [ -z "$(find "$DRIVE_C/windows/temp" -name 'zv*')" ]; then ok "the work folder is gone"
  else fail "left in the Windows folder's Temp: $(find "$DRIVE_C/windows/temp" -name 'zv*')"; fi
  n=$(find "$DRIVE_C/Program Files/The Zorvane" -type f 2>/dev/null | wc -l)
  if [ "$n" -eq 19 ]; then ok "19 files installed"; else fail "$n files installed, expected 19"; fi
}
cleanup_user_temp_untouched() { hard_stop_watch; }
