# Installs, snapshots and compares for the uninstall scenarios (sourced by
# run-scenario.sh). A snapshot is the tree under drive_c (type, path, size
# of each file) and an export of HKLM\Software; two snapshots must be equal
# but for what un_compare allows, and it says what it allowed.

UN_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\The Zorvane'
UN_PROG="$DRIVE_C/Program Files/The Zorvane"
UN_DESKTOP_LINK="$DRIVE_C/users/Public/Desktop/TheZorvane.lnk"
UN_GROUP="$DRIVE_C/ProgramData/Microsoft/Windows/Start Menu/Programs/The Zorvane"

un_win() { echo "Z:${1//\//\\}"; }

# The driver's default install with the desktop link.
un_install() {
  wine "$ZV_E2E_BIN/e2e_uninstall.exe" install "$SETUP_WIN" "$(un_win "$OUT")" \
    </dev/null >"$OUT/install.log" 2>&1 || { cat "$OUT/install.log"; fail "install"; return 1; }
  if [ -f "$UN_PROG/uninstall.exe" ] && [ -f "$UN_DESKTOP_LINK" ]; then
    ok "installed, with the desktop link"
  else
    fail "no installation with a desktop link"
  fi
}

un_snapshot() {
  (cd "$DRIVE_C" && find . -mindepth 1 -printf '%y %p %s\n') |
    sed -E 's/^d (.*) [0-9]+$/d \1/' | LC_ALL=C sort >"$OUT/$1.tree"
  wine reg export 'HKLM\Software' "$(un_win "$OUT/$1.reg")" /y >/dev/null 2>&1
  iconv -f UTF-16LE -t UTF-8 "$OUT/$1.reg" | tr -d '\r' >"$OUT/$1.reg.txt" && rm -f "$OUT/$1.reg"
}

# un_compare BEFORE AFTER: the differences, less the allowed ones (the copy
# of the uninstaller in the temporary folder, scheduled for deletion at
# restart, and what Wine itself keeps), must be none.
un_compare() {
  local allowed='(users/[^/ ]+/Temp|windows/temp)/ZvUninstall\.[0-9a-f]{16}'
  diff "$OUT/$1.tree" "$OUT/$2.tree" | grep '^[<>]' >"$OUT/tree.diff"
  grep -E "$allowed" "$OUT/tree.diff" >"$OUT/tree.allowed"
  if grep -vqE "$allowed" "$OUT/tree.diff"; then
    fail "files differ from $1:"; grep -vE "$allowed" "$OUT/tree.diff" | head -40
  else
    ok "files under drive_c as at $1 (allowed: $(wc -l <"$OUT/tree.allowed") lines of the temporary copy)"
  fi
  if diff "$OUT/$1.reg.txt" "$OUT/$2.reg.txt" >"$OUT/reg.diff"; then
    ok "HKLM\\Software as at $1"
  else
    fail "HKLM\\Software differs from $1:"; head -40 "$OUT/reg.diff"
  fi
}

un_listed() { wine uninstaller --list 2>/dev/null | tr -d '\r' | grep -c '|||The Zorvane$'; }

# The temporary copy and its folder are to go at restart.
un_expect_copy_scheduled() {
  local pending
  pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
    /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
  if echo "$pending" | grep -qE 'ZvUninstall\.[0-9a-f]{16}\\uninstall\.exe.*ZvUninstall\.[0-9a-f]{16}'; then
    ok "the temporary copy and its folder are scheduled for deletion at restart"
  else
    fail "the temporary copy is not scheduled: $pending"
  fi
}

# Part files that a killed setup left, in setup's form: an empty one (killed
# before writing) and a whole one never renamed, in the program folder and
# in Maps; and the kept folder where it had moved earlier files aside. The
# uninstaller removes them, and the folders go.
un_plant_part_files() {
  : >"$UN_PROG/Readme.rtf.bdebc121432d3278.zvpart"
  cp "$UN_PROG/Textures.pak" "$UN_PROG/Textures.pak.154e430edba6b9b0.zvpart"
  : >"$UN_PROG/Maps/Map02.map.0123456789abcdef.zvpart"
  cp "$UN_PROG/Maps/Map01.map" "$UN_PROG/Maps/Map01.map.6623371d82133607.zvpart"
  [ "$(find "$UN_PROG" -name '*.zvpart' | wc -l)" = 4 ] && ok "four part files planted" ||
    fail "the part files were not planted"
  local kept="$UN_PROG/earlier.0123456789abcdef.zvkeep"
  mkdir -p "$kept/Maps" && cp "$UN_PROG/Zorvane.exe" "$kept/Zorvane.exe" &&
    cp "$UN_PROG/Maps/Map01.map" "$kept/Maps/Map01.map" && ok "a kept folder planted" ||
    fail "the kept folder was not planted"
}

prepare_silent_restores() { un_snapshot pristine; un_install && un_plant_part_files; }
check_silent_restores() { un_snapshot after; un_compare pristine after; un_expect_copy_scheduled; }

# A copy of the uninstaller outside the installation for the second run.
prepare_add_remove_programs() {
  cp "$(dirname "$ZV_SETUP_EXE")/app-stage/uninstall.exe" "$DRIVE_C/zvtest/uninstall.exe"
  un_snapshot pristine
  un_install
  [ "$(un_listed)" = 1 ] && ok "uninstaller --list shows The Zorvane" || fail "not listed after the install"
}
check_add_remove_programs() {
  [ "$(un_listed)" = 0 ] && ok "uninstaller --list no longer shows it" || fail "still listed"
  un_snapshot after; un_compare pristine after
}

prepare_answer_no() { un_install; un_snapshot installed; }
check_answer_no() {
  un_snapshot after; un_compare installed after
  grep -q ZvUninstall "$OUT/tree.diff" && fail "a temporary copy was made" || ok "no temporary copy was made"
}

# A file of the user's in AImages, and a desktop link of that name that
# points elsewhere (at the readme): both stay, and so does their folder.
prepare_user_files_kept() {
  un_install
  echo "my picture" >"$UN_PROG/AImages/mine.bmp"
  cp "$UN_GROUP/Readme.lnk" "$UN_DESKTOP_LINK"
  cp "$UN_DESKTOP_LINK" "$OUT/other-desktop.lnk"
}
check_user_files_kept() {
  expect_file "Program Files/The Zorvane/AImages/mine.bmp"
  cmp -s "$OUT/other-desktop.lnk" "$UN_DESKTOP_LINK" && ok "the other desktop link stays" ||
    fail "the other desktop link is gone or changed"
  local left; left=$(cd "$UN_PROG" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
  [ "$left" = "./AImages ./AImages/mine.bmp " ] && ok "only the user's file is left" ||
    fail "left in the program folder: $left"
  expect_no_file "ProgramData/Microsoft/Windows/Start Menu/Programs/The Zorvane"
  [ -z "$(reg_value "$UN_KEY" Progdir)" ] && ok "Uninstall key removed" || fail "Uninstall key left"
}

prepare_files_in_use() { un_install; }
check_files_in_use() {
  expect_file "Program Files/The Zorvane/Zorvane.exe"
  [ "$(ls -A "$UN_PROG")" = Zorvane.exe ] && ok "only the running program is left" ||
    fail "left: $(ls -A "$UN_PROG" | tr '\n' ' ')"
  wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
    /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' |
    grep -qF 'C:\Program files\The Zorvane\Zorvane.exe\0\0\??\C:\Program files\The Zorvane\0' &&
    ok "the program and then its folder are scheduled for deletion at restart" ||
    fail "the program is not scheduled for deletion at restart"
  [ -z "$(reg_value "$UN_KEY" Progdir)" ] && ok "Uninstall key removed" || fail "Uninstall key left"
}

# Decoys: an uninstall.exe in the root and in the Windows folder.
prepare_bad_progdir() {
  un_install
  cp "$UN_PROG/uninstall.exe" "$DRIVE_C/uninstall.exe"
  cp "$UN_PROG/uninstall.exe" "$DRIVE_C/windows/uninstall.exe"
  un_snapshot installed
}
check_bad_progdir() {
  un_snapshot after
  if diff "$OUT/installed.tree" "$OUT/after.tree" >/dev/null; then
    ok "no file removed or added"
  else
    fail "files changed:"; diff "$OUT/installed.tree" "$OUT/after.tree" | head -20
  fi
  expect_reg "$UN_KEY" Progdir 'C:\windows'
}

# A foreign TheZorvane.lnk on the public desktop (the group's readme link,
# which points elsewhere), and "Scdir" pointed there by the driver.
prepare_public_desktop_group() {
  un_install
  cp "$UN_GROUP/Readme.lnk" "$UN_DESKTOP_LINK"
  cp "$UN_DESKTOP_LINK" "$OUT/foreign.lnk"
}
check_public_desktop_group() {
  cmp -s "$OUT/foreign.lnk" "$UN_DESKTOP_LINK" && ok "the foreign link on the public desktop stays" ||
    fail "the foreign link on the public desktop is gone or changed"
  [ -d "$DRIVE_C/users/Public/Desktop" ] && ok "the public desktop stays" || fail "the public desktop is gone"
  [ -z "$(reg_value "$UN_KEY" Progdir)" ] && ok "Uninstall key removed" || fail "Uninstall key left"
}

prepare_group_link_retargeted() {
  un_install
  cp "$UN_GROUP/Readme.lnk" "$UN_GROUP/TheZorvane.lnk"
  cp "$UN_GROUP/TheZorvane.lnk" "$OUT/retargeted.lnk"
}
check_group_link_retargeted() {
  cmp -s "$OUT/retargeted.lnk" "$UN_GROUP/TheZorvane.lnk" && ok "the retargeted group link stays" ||
    fail "the retargeted group link is gone or changed"
  local left; left=$(ls -A "$UN_GROUP" | tr '\n' ' ')
  [ "$left" = "TheZorvane.lnk " ] && ok "only it is left in the group" || fail "left in the group: $left"
}

prepare_foreign_subkey() {
  un_snapshot pristine
  un_install
  wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\The Zorvane\Foreign' \
    /v Note /d mine /f >/dev/null 2>&1
}
check_foreign_subkey() { un_snapshot after; un_compare pristine after; }

prepare_two_at_once() { un_install; un_snapshot installed; }
check_two_at_once() { un_snapshot after; un_compare installed after; }

prepare_copy_folder_private() { un_install; }

# un_expect_value NAME TYPE DATA: the Uninstall key's value, as `wine reg
# query` prints it (a REG_DWORD as 0x...).
un_expect_value() {
  local type got
  type=$(wine reg query "$UN_KEY" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {print $2; exit}')
  got=$(reg_value "$UN_KEY" "$1")
  [ "$type $got" = "$2 $3" ] && ok "$1 = $3 ($2)" || fail "$1 is '$got' ($type), expected '$3' ($2)"
}

# The entry after a default install: every value Add/Remove Programs shows.
prepare_add_remove_entry() {
  un_snapshot pristine
  un_install || return 1
  wine reg query "$UN_KEY" | tr -d '\r' | tee "$OUT/uninstall-key.txt"
  local dir='C:\Program files\The Zorvane' version bytes size
  un_expect_value DisplayIcon REG_SZ "$dir\\Zorvane.exe,0"
  [ -f "$UN_PROG/Zorvane.exe" ] && ok "DisplayIcon's program is installed" || fail "no $UN_PROG/Zorvane.exe"
  # The one product version: the one the installed programs carry.
  version=$(wrestool -x --raw --type=16 "$UN_PROG/Zorvane.exe" | strings -el -n 1 |
    awk 'p {print; exit} /^ProductVersion$/ {p = 1}')
  [ -n "$version" ] || fail "no ProductVersion in the installed Zorvane.exe"
  un_expect_value DisplayVersion REG_SZ "$version"
  un_expect_value InstallLocation REG_SZ "$dir"
  un_expect_value NoModify REG_DWORD 0x1
  un_expect_value NoRepair REG_DWORD 0x1
  un_expect_value QuietUninstallString REG_SZ "\"$dir\\uninstall.exe\" /S"
  un_expect_value UninstallString REG_SZ "\"$dir\\uninstall.exe\""
  bytes=$(find "$UN_PROG" -type f -printf '%s\n' | awk '{s += $1} END {print s}')
  size=$(($(reg_value "$UN_KEY" EstimatedSize)))
  if [ "$(wine reg query "$UN_KEY" /v EstimatedSize | tr -d '\r' | awk '$1 == "EstimatedSize" {print $2}')" = REG_DWORD ] &&
     [ $((size * 1024 * 100)) -ge $((bytes * 99)) ] && [ $((size * 1024 * 100)) -le $((bytes * 101)) ]; then
    ok "EstimatedSize $size KiB is within 1 % of the $bytes installed bytes / 1024"
  else
    fail "EstimatedSize '$size' is not within 1 % of $bytes / 1024"
  fi
  [ "$(un_listed)" = 1 ] && ok "uninstaller --list shows The Zorvane" || fail "not listed after the install"
}
check_add_remove_entry() { un_snapshot after; un_compare pristine after; }
