# Staging and checks of the shortcut scenarios (sourced by run-scenario.sh).
# The setup installs into C:\Program files\The Zorvane; links and registry
# values are read back independently: `wine reg query` and `lnkinfo`.

ZV_APP_PATHS='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\The Zorvane'
ZV_UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\The Zorvane'
ZV_SHELL_FOLDERS='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
ZV_INSTALL_DIR='C:\Program files\The Zorvane'
ZV_PROGRAMS_WIN='C:\ProgramData\Microsoft\Windows\Start Menu\Programs'

# Linux path of a Windows path on drive C, matching each component without
# regard to case as Windows does (C:\WINDOWS is drive_c/windows).
zv_unix() {
  local cur=$DRIVE_C part match parts
  IFS='\' read -ra parts <<<"${1#[Cc]:\\}"
  for part in "${parts[@]}"; do
    match=$(find "$cur" -mindepth 1 -maxdepth 1 -iname "$part" -print -quit 2>/dev/null)
    if [ -n "$match" ]; then cur=$match; else cur="$cur/$part"; fi
  done
  echo "$cur"
}

# The data of a value whose name may hold spaces ("Common Desktop").
zv_reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '
    { line = $0; sub(/^[ \t]+/, "", line)
      rest = substr(line, length(n) + 1)
      if (tolower(substr(line, 1, length(n))) == tolower(n) && rest ~ /^[ \t]+REG_[A-Z_]+/) {
        sub(/^[ \t]+REG_[A-Z_]+[ \t]*/, "", rest); print rest; exit } }'
}
# The default value of a key.
zv_reg_default() {
  wine reg query "$1" /ve 2>/dev/null | tr -d '\r' |
    awk '$2 ~ /^REG_/ {sub(/^[ \t]*\([^)]*\)[ \t]+REG_[A-Z_]+[ \t]*/, ""); print; exit}'
}
# The type of a value.
zv_reg_type() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" 'tolower($1)==tolower(n) {print $2; exit}'
}
zv_set_shell_folder() {
  wine reg add "$ZV_SHELL_FOLDERS" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1 || fail "staging $1"
}

# All six values, each REG_SZ, for an install with program group $1.
zv_expect_registry() {
  local group=$1 got
  got=$(zv_reg_default "$ZV_APP_PATHS")
  if [ "$got" = "The Zorvane" ]; then ok "App Paths default = The Zorvane"; else fail "App Paths default is '$got'"; fi
  expect_reg "$ZV_APP_PATHS" Path "$ZV_INSTALL_DIR"
  expect_reg "$ZV_UNINSTALL" DisplayName "The Zorvane"
  expect_reg "$ZV_UNINSTALL" UninstallString "\"$ZV_INSTALL_DIR\\uninstall.exe\""
  expect_reg "$ZV_UNINSTALL" Scdir "$group"
  expect_reg "$ZV_UNINSTALL" Progdir "$ZV_INSTALL_DIR"
  local key name
  for key in "$ZV_APP_PATHS|Path" "$ZV_UNINSTALL|DisplayName" "$ZV_UNINSTALL|UninstallString" \
             "$ZV_UNINSTALL|Scdir" "$ZV_UNINSTALL|Progdir"; do
    name=${key#*|}
    [ "$(zv_reg_type "${key%%|*}" "$name")" = REG_SZ ] && ok "$name is REG_SZ" || fail "$name is not REG_SZ"
  done
  # One subkey per parent, however often registration ran.
  local parent count
  for parent in "${ZV_APP_PATHS%\\*}" "${ZV_UNINSTALL%\\*}"; do
    count=$(wine reg query "$parent" 2>/dev/null | tr -d '\r' | grep -ci '\\The Zorvane')
    [ "$count" = 1 ] && ok "one subkey The Zorvane under ${parent##*\\}" ||
      fail "$count subkeys The Zorvane under ${parent##*\\}"
  done
}

# zv_expect_link WINDOWS-LINK-PATH TARGET DESCRIPTION: lnkinfo reads the
# link file and finds that target and description.
zv_expect_link() {
  local file info path desc
  file=$(zv_unix "$1")
  if [ ! -f "$file" ]; then fail "link $1 missing"; return; fi
  info=$(lnkinfo "$file" 2>&1)
  echo "$info" >"$OUT/lnkinfo-$(basename "$file").txt"
  path=$(echo "$info" | awk -F': ' '/^[ \t]*Local path[ \t]*:/ {print $2; exit}' | sed 's/[ \t]*$//')
  desc=$(echo "$info" | awk -F': ' '/^[ \t]*Description[ \t]*:/ {print $2; exit}' | sed 's/[ \t]*$//')
  if [ "${path,,}" = "${2,,}" ]; then ok "$1 -> $2"; else fail "$1 target is '$path', expected '$2'"; fi
  if [ "$desc" = "$3" ]; then ok "$1 description '$3'"; else fail "$1 description is '$desc', expected '$3'"; fi
  # Nothing but the target and the description is set on the link.
  if echo "$info" | grep -qiE 'Contains (a )?(working directory|command line arguments|icon location|relative path)'; then
    fail "$1 carries more than target and description"
  else
    ok "$1 has no working directory, arguments or icon"
  fi
}

# The three links of a program group $1.
zv_expect_group_links() {
  zv_expect_link "$1\\TheZorvane.lnk" "$ZV_INSTALL_DIR\\Zorvane.exe" "The Zorvane"
  zv_expect_link "$1\\Uninstall.lnk" "$ZV_INSTALL_DIR\\uninstall.exe" "Uninstall"
  zv_expect_link "$1\\Readme.lnk" "$ZV_INSTALL_DIR\\Readme.rtf" "Readme"
  local count
  count=$(find "$(zv_unix "$1")" -mindepth 1 | wc -l)
  [ "$count" = 3 ] && ok "the group folder holds the three links only" || fail "the group folder holds $count entries"
}

zv_expect_no_desktop_link() {
  local found
  found=$(find "$DRIVE_C" -name TheZorvane.lnk -path '*Desktop*' | head -1)
  [ -z "$found" ] && ok "no desktop link" || fail "desktop link found: $found"
}

check_full_install() {
  zv_expect_registry "$ZV_PROGRAMS_WIN\\The Zorvane"
  zv_expect_group_links "$ZV_PROGRAMS_WIN\\The Zorvane"
  zv_expect_no_desktop_link
}

check_desktop_link() {
  local desktop
  desktop=$(zv_reg_value "$ZV_SHELL_FOLDERS" "Common Desktop")
  [ -n "$desktop" ] || fail "Common Desktop not set in the prefix"
  zv_expect_link "$desktop\\TheZorvane.lnk" "$ZV_INSTALL_DIR\\Zorvane.exe" "The Zorvane"
  zv_expect_registry "$ZV_PROGRAMS_WIN\\The Zorvane"
  zv_expect_group_links "$ZV_PROGRAMS_WIN\\The Zorvane"
  # The desktop link is written before the group's links.
  local d g
  d=$(stat -c %.9Y "$(zv_unix "$desktop\\TheZorvane.lnk")")
  g=$(stat -c %.9Y "$(zv_unix "$ZV_PROGRAMS_WIN\\The Zorvane\\TheZorvane.lnk")")
  if [ "$(echo "$d <= $g" | bc)" = 1 ]; then ok "desktop link written first"; else fail "desktop link written after the group's ($d > $g)"; fi
}

check_cancel_no_finish() {
  zv_expect_registry "$ZV_PROGRAMS_WIN\\The Zorvane"
  zv_expect_group_links "$ZV_PROGRAMS_WIN\\The Zorvane"
}

check_cancel_yes() {
  zv_expect_registry "$ZV_PROGRAMS_WIN\\The Zorvane"
  expect_no_file "ProgramData/Microsoft/Windows/Start Menu/Programs/The Zorvane"
  local links
  links=$(find "$DRIVE_C" -name '*.lnk' \( -name TheZorvane.lnk -o -name Uninstall.lnk -o -name Readme.lnk \) | head -1)
  [ -z "$links" ] && ok "no link made" || fail "link made: $links"
  # The application itself was installed.
  expect_file "Program Files/The Zorvane/Zorvane.exe"
}

check_second_install() { check_full_install; }

prepare_browse_short_path() {
  zv_set_shell_folder "Common Programs" 'C:\WINDOWS\Start Menu\Programs'
  mkdir -p "$DRIVE_C/windows/Start Menu/Programs/Accessories" "$DRIVE_C/windows/Start Menu/Programs/Games"
  # A file is never listed.
  touch "$DRIVE_C/windows/Start Menu/Programs/notes.txt"
}
check_browse_short_path() {
  local group='C:\WINDOWS\Start Menu\Programs\Games\The Zorvane'
  zv_expect_registry "$group"
  zv_expect_group_links "$group"
}

prepare_browse_to_drive() {
  zv_set_shell_folder "Common Programs" 'C:\Zorvane Start Menus'
  mkdir -p "$DRIVE_C/Zorvane Start Menus/Tools" "$DRIVE_C/Zorvane Start Menus/.hidden-dots"
}
check_browse_to_drive() {
  zv_expect_registry 'C:\The Zorvane'
  zv_expect_group_links 'C:\The Zorvane'
}

prepare_deep_descent() {
  zv_set_shell_folder "Common Programs" 'C:\WINDOWS\Start Menu\Programs'
  mkdir -p "$DRIVE_C/windows/Start Menu/Programs"
}
check_deep_descent() {
  local scdir
  scdir=$(reg_value "$ZV_UNINSTALL" Scdir)
  # 30 characters plus 39 descents of 12, then the group name.
  [ ${#scdir} -le 511 ] && [ ${#scdir} -gt 499 ] && ok "Scdir names the deep group (${#scdir} characters)" ||
    fail "Scdir has ${#scdir} characters"
  case "$scdir" in 'C:\WINDOWS\Start Menu\Programs\The Zorvane\The Zorvane\'*'\The Zorvane') ok "Scdir is the reached folder and the group" ;;
    *) fail "Scdir is '$scdir'" ;; esac
  local links
  links=$(find "$DRIVE_C" -name TheZorvane.lnk | head -1)
  [ -z "$links" ] && ok "no link made for a group path that cannot exist" || fail "link made: $links"
}

prepare_no_common_programs() {
  wine reg delete "$ZV_SHELL_FOLDERS" /v "Common Programs" /f >/dev/null 2>&1 || fail "removing Common Programs"
}
check_no_common_programs() {
  zv_expect_registry 'C:\The Zorvane'
  zv_expect_group_links 'C:\The Zorvane'
}

prepare_desktop_too_long() {
  local long='C:\users\Public\Desktop'
  while [ ${#long} -lt 262 ]; do long="$long\\deeper"; done
  zv_set_shell_folder "Common Desktop" "$long"
}
check_desktop_too_long() {
  zv_expect_no_desktop_link
  zv_expect_group_links "$ZV_PROGRAMS_WIN\\The Zorvane"
}

# The same default install with Wine's registry trace on: the setup's calls
# show the access masks, the class and options of the created keys, the
# order of the values and their data lengths. Wine traces the native calls
# the A functions turn into: value lengths are in bytes of UTF-16, so a
# terminator counted in the ANSI length shows as 2 more bytes.
prepare_registry_calls() { export WINEDEBUG=+reg; }
check_registry_calls() {
  local log=$OUT/wine-stderr.log tid calls expected
  # The setup's thread is the one that opens the App Paths key.
  tid=$(grep -m1 'trace:reg:NtOpenKeyEx .*CurrentVersion\\\\App Paths"' "$log" | cut -d: -f1)
  [ -n "$tid" ] || { fail "no App Paths call in the registry trace"; return; }
  calls=$(grep "^$tid:trace:reg:Nt\(OpenKeyEx\|CreateKey\|SetValueKey\) (" "$log" | awk '
    { sub(/^[^ ]*:trace:reg:/, "") }
    /^NtOpenKeyEx/ && /Explorer..Shell Folders"|CurrentVersion..App Paths"|CurrentVersion..Uninstall"/ {
      split($0, a, "\""); split(a[3], b, ","); print "open " a[2] " " b[2] }
    /^NtCreateKey/ && /"The Zorvane"/ {
      split($0, a, "\""); split(a[5], b, ","); print "create " a[2] " class=\"" a[4] "\" options=" b[2] " access=" b[3] }
    /^NtSetValueKey/ && /L"(Path|DisplayName|UninstallString|Scdir|Progdir)?",/ {
      sub(/\)$/, ""); split($0, a, "\""); split(a[3], b, ","); print "set \"" a[2] "\" type=" b[2] " bytes=" b[4]
      if (a[2] == "Progdir") exit }')
  expected='open SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders 20019
open SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths 2001f
create The Zorvane class="" options=0 access=f003f
set "" type=1 bytes=24
set "Path" type=1 bytes=58
open SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall 2001f
create The Zorvane class="" options=0 access=f003f
set "DisplayName" type=1 bytes=24
set "UninstallString" type=1 bytes=90
set "Scdir" type=1 bytes=130
set "Progdir" type=1 bytes=58'
  echo "$calls" >"$OUT/registry-calls.txt"
  if [ "$calls" = "$expected" ]; then
    ok "registry calls in order, with KEY_READ, KEY_READ|KEY_WRITE, KEY_ALL_ACCESS and NUL-counted lengths"
  else
    fail "registry calls differ:"; diff <(echo "$expected") <(echo "$calls")
  fi
  check_full_install
}

# The same default install with Wine's COM and shell traces on: each link
# is made by its own COM session with the link object's A interface, gets
# only a path and a description, is saved through IPersistFile and released
# before COM is uninitialised.
prepare_link_calls() { export WINEDEBUG=+ole,+shell; }
zv_link_session() {   # TARGET DESCRIPTION LINK, as the traces quote them
  printf '%s\n' "CoInitialize" \
    "CoCreateInstance {00021401-0000-0000-c000-000000000046} context=0x1 {000214ee-0000-0000-c000-000000000046}" \
    "SetPath \"$1\"" "SetDescription \"$2\"" \
    "QueryInterface {0000010b-0000-0000-c000-000000000046}" "Save L\"$3\"" \
    "link object destroyed" "CoUninitialize"
}
check_link_calls() {
  local log=$OUT/wine-stderr.log tid calls expected app group
  tid=$(grep -m1 'trace:ole:CoCreateInstance {00021401-' "$log" | cut -d: -f1)
  [ -n "$tid" ] || { fail "no link object created in the trace"; return; }
  calls=$(grep "^$tid:" "$log" | awk '
    { sub(/^[^:]*:[^:]*:[^:]*:/, "") }
    /^CoInitializeEx 00000000, 0x2$/ { n++; line[n] = "CoInitialize"; next }
    /^CoCreateInstance / { split($0, f, ", "); sub(/^CoCreateInstance /, "", f[1]);
      n++; line[n] = "CoCreateInstance " f[1] " context=" f[3] " " f[4]; if (!first) first = n; next }
    /^IShellLinkA_fn/ { name = $1; sub(/^IShellLinkA_fn/, "", name); arg = $0;
      sub(/^[^>]*>\([a-zA-Z]*=/, "", arg); sub(/\)$/, "", arg); n++; line[n] = name " " arg; next }
    /^IShellLinkW_fnQueryInterface .*\{0000010b-/ { n++; line[n] = "QueryInterface {0000010b-0000-0000-c000-000000000046}"; next }
    /^IPersistFile_fnSave / { arg = $0; sub(/^[^>]*>\(/, "", arg); sub(/\)$/, "", arg); n++; line[n] = "Save " arg; next }
    /^IShellLinkW_fnRelease -- destroying/ { n++; line[n] = "link object destroyed"; next }
    # Later pairs of other components leave unmatched ends behind the last
    # session; one end right after another is not a session of ours.
    /^CoUninitialize/ { if (line[n] != "CoUninitialize") { n++; line[n] = "CoUninitialize" } next }
    END { start = first - 1; if (start < 1) start = 1; for (i = start; i <= n; i++) print line[i] }')
  app='C:\\Program files\\The Zorvane'
  group='C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\The Zorvane'
  expected=$(zv_link_session "$app\\\\Zorvane.exe" "The Zorvane" "$group\\\\TheZorvane.lnk"
             zv_link_session "$app\\\\uninstall.exe" "Uninstall" "$group\\\\Uninstall.lnk"
             zv_link_session "$app\\\\Readme.rtf" "Readme" "$group\\\\Readme.lnk")
  echo "$calls" >"$OUT/link-calls.txt"
  if [ "$calls" = "$expected" ]; then
    ok "three link sessions, path and description only, each ended by CoUninitialize"
  else
    fail "link calls differ:"; diff <(echo "$expected") <(echo "$calls")
  fi
  check_full_install
}
