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
