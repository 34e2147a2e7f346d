# Staging and checks of the scenario with names outside the code page
# (sourced by run-scenario.sh). Wine programs take TEMP and TMP from the
# prefix's HKCU\Environment, read when its wineserver starts. Registry values
# are read back with `wine reg export` (UTF-16, so no code page stands
# between), links with `lnkinfo`.

LANG_FOLDER='Зорвейн 游戏'
LANG_TEMP_NAME='Временная 临时'
LANG_DIR_WIN="C:\\Program files\\$LANG_FOLDER"
LANG_DEST="$DRIVE_C/Program Files/$LANG_FOLDER"
LANG_GROUP="$DRIVE_C/ProgramData/Microsoft/Windows/Start Menu/Programs/The Zorvane"
LANG_UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\The Zorvane'
LANG_APP_PATHS='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\The Zorvane'

lang_user() { ls "$DRIVE_C/users" | grep -v Public | head -1; }

# lang_hex: standard input as one line of hexadecimal digits.
lang_hex() { od -An -tx1 -v | tr -d ' \n'; }

# lang_export KEY: the key as `wine reg export` writes it, in UTF-8.
lang_export() {
  local file="$OUT/export.reg"
  rm -f "$file"
  wine reg export "$1" "Z:${file//\//\\}" /y >/dev/null 2>&1
  [ -f "$file" ] && iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r'
}

# lang_expect_values KEY NAME=DATA...: each REG_SZ value as reg export
# writes it ("NAME"="DATA", backslashes and quotes escaped).
lang_expect_values() {
  local key=$1 exported pair name data; shift
  exported=$(lang_export "$key")
  for pair in "$@"; do
    name=${pair%%=*} data=${pair#*=}
    data=${data//\\/\\\\} data=${data//\"/\\\"}
    grep -qxF "\"$name\"=\"$data\"" <<<"$exported" && ok "$name = ${pair#*=}" ||
      fail "$key: no \"$name\"=\"$data\" in: $(grep -F "\"$name\"" <<<"$exported")"
  done
}

prepare_utf8_paths() {
  local temp user
  user=$(lang_user)
  temp="C:\\users\\$user\\Temp\\$LANG_TEMP_NAME"
  mkdir -p "$DRIVE_C/users/$user/Temp/$LANG_TEMP_NAME"
  wine reg add 'HKCU\Environment' /v TEMP /t REG_SZ /d "$temp" /f >/dev/null 2>&1
  wine reg add 'HKCU\Environment' /v TMP /t REG_SZ /d "$temp" /f >/dev/null 2>&1
  lang_expect_values 'HKCU\Environment' "TEMP=$temp" "TMP=$temp"
  # The next program reads the new environment once this prefix's server ends.
  wineserver -k; wineserver -w
  wine "$ZV_E2E_BIN/e2e_language.exe" install "$SETUP_WIN" "Z:${OUT//\//\\}" \
    </dev/null >"$OUT/install.log" 2>&1 || { cat "$OUT/install.log"; fail "install"; return 1; }
  cat "$OUT/install.log"
  local n; n=$(find "$LANG_DEST" -type f 2>/dev/null | wc -l)
  [ "$n" -eq 19 ] && ok "19 files in C:/Program Files/$LANG_FOLDER" || fail "$n files in $LANG_DEST, expected 19"
  [ -d "$LANG_DEST/AImages" ] && ok "AImages made there" || fail "no AImages in $LANG_DEST"
  lang_expect_values "$LANG_UNINSTALL" "UninstallString=\"$LANG_DIR_WIN\\uninstall.exe\"" \
    "Progdir=$LANG_DIR_WIN" "InstallLocation=$LANG_DIR_WIN" "DisplayIcon=$LANG_DIR_WIN\\Zorvane.exe,0" \
    "QuietUninstallString=\"$LANG_DIR_WIN\\uninstall.exe\" /S"
  lang_expect_values "$LANG_APP_PATHS" "Path=$LANG_DIR_WIN"
  # lnkinfo reads a link's local path in a Windows code page such as 1252.
  # Wine writes it in the creating program's code page, here UTF-8, and the
  # shell items hold the names in UTF-16 too: lnkinfo checks the link's
  # form, the file's bytes the name in both encodings.
  local link target path wide
  wide=$(printf '%s' "$LANG_FOLDER" | iconv -f UTF-8 -t UTF-16LE | lang_hex)
  for link in TheZorvane.lnk=Zorvane.exe Uninstall.lnk=uninstall.exe Readme.lnk=Readme.rtf; do
    target=${link#*=} link=${link%%=*}
    path=$(lnkinfo "$LANG_GROUP/$link" 2>&1 | tee "$OUT/lnkinfo-$link.txt" |
      awk -F': ' '/^[ \t]*Local path[ \t]*:/ {print $2; exit}' | sed 's/[ \t]*$//')
    if [[ "${path,,}" == 'c:\program files\'*"\\${target,,}" ]] &&
       LC_ALL=C grep -qaF "$LANG_DIR_WIN\\$target" "$LANG_GROUP/$link" &&
       lang_hex <"$LANG_GROUP/$link" | grep -q "$wide"; then
      ok "$link -> $LANG_DIR_WIN\\$target"
    else
      fail "$link: local path '$path', or the link's bytes, do not name $LANG_DIR_WIN\\$target"
    fi
  done
}

check_utf8_paths() {
  [ ! -e "$LANG_DEST" ] && ok "the program folder is gone" || fail "left: $(ls -A "$LANG_DEST" | tr '\n' ' ')"
  [ ! -e "$LANG_GROUP" ] && ok "the program group is gone" || fail "the program group is left"
  wine reg query "$LANG_UNINSTALL" >/dev/null 2>&1 && fail "the Uninstall key is left" || ok "the Uninstall key is gone"
  wine reg query "$LANG_APP_PATHS" >/dev/null 2>&1 && fail "the App Paths key is left" || ok "the App Paths key is gone"
}
