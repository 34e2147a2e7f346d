#!/usr/bin/env bash
# Checks the shipped programs as files:
#   programs.sh imports OBJDUMP EXE...
#     each imports at load time only the functions that imports.allow lists
#     for its DLL, all of them KnownDLLs, which Windows always takes from its
#     system directory, so none can be planted beside it;
#   programs.sh manifests OBJDUMP EXE=LEVEL...
#     each carries a manifest (resource 1 of type 24) that xmllint parses,
#     asks for LEVEL, declares Vista to 11 and does not ask for the common
#     controls 6, has UTF-8 for its ANSI code page, is aware of the
#     display's scale (dpiAware true); and each is large address aware and
#     terminal-server aware;
#   programs.sh versions OBJDUMP VERSION TITLE EXE=DESCRIPTION...
#     each carries a version resource: FileVersion and ProductVersion VERSION
#     (text and numbers), ProductName TITLE, FileDescription
#     DESCRIPTION, OriginalFilename its own name;
#   programs.sh guard OBJDUMP EXE...
#     the linker's map EXE.map shows the program's own stack guard and its
#     failure handlers linked into each from stack_guard.cpp, and not
#     libssp's ssp.o (which seeds its guard through advapi32's Crypt*
#     functions); and its code reads the guard.
set -uo pipefail
mode=$1 objdump=$2; shift 2
status=0
fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok  : $*"; }

AllowList=$(dirname "$0")/imports.allow
# The KnownDLLs among which the list may name DLLs.
KnownDlls="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
msvcrt.dll comdlg32.dll shlwapi.dll"
# Vista, 7, 8, 8.1, 10 and 11 (one Id for the last two).
SupportedOs="{1f676c76-80e1-4239-95bb-83d0f6d0da78}
{35138b9a-5d96-4fbd-8e2d-a2440225f93a}
{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}
{e2011457-1546-43c5-a5fe-008deee3d3f0}"

# "dll function" for each import that the list allows; "UNREASONED function"
# for an advapi32 function outside the Reg* family with no reason beside it.
allowed_imports() {
  awk '/^[ \t]*(#|$)/ {next}
    /^[^ \t]/ {dll = tolower($1); next}
    {print dll, $1
     if (dll == "advapi32.dll" && $1 !~ /^Reg/ && $0 !~ /#[ \t]*[^ \t]/) print "UNREASONED", $1}' "$AllowList"
}

# "dll function" for each function of the import table, by name.
imported_functions() {
  "$objdump" -p "$1" | awk '/DLL Name:/ {dll = tolower($3); next} /^$/ {dll = ""}
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]/ {print dll, $3}'
}

check_allow_list() {
  local unreasoned dll
  for dll in $(allowed_imports | awk '$1 != "UNREASONED" {print $1}' | sort -u); do
    grep -qw -- "$dll" <<<"$KnownDlls" ||
      fail "imports.allow names $dll, which is no KnownDLL: Windows may take it from the program's folder"
  done
  unreasoned=$(allowed_imports | awk '$1 == "UNREASONED" {print $2}')
  [ -z "$unreasoned" ] && ok "imports.allow gives a reason for each advapi32 function outside Reg*" ||
    fail "imports.allow: no reason beside advapi32 $(echo $unreasoned)"
}

check_imports() {
  local exe=$1 name dlls imports extra
  name=$(basename "$exe")
  dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
  imports=$(imported_functions "$exe" | sort -u)
  [ -n "$dlls" ] && [ -n "$imports" ] || { fail "$exe: no import table read"; return; }
  echo "$name imports $(wc -l <<<"$imports") functions from: $(echo $dlls)"
  extra=$(comm -23 <(echo "$imports") <(allowed_imports | grep -v '^UNREASONED ' | sort -u))
  if [ -z "$extra" ]; then
    ok "$name: every import is in imports.allow"
  else
    fail "$name imports what imports.allow does not list (a DLL that Windows may take from the program's folder, or a function not reviewed):"
    sed 's/^/        /' <<<"$extra"
  fi
  # Entry d of the data directories: the delay-load imports, loaded later by name.
  if [ "$("$objdump" -p "$exe" | awk '$1=="Entry" && $2=="d" {print $3}')" != 00000000 ]; then
    fail "$(basename "$exe") has delay-loaded imports"
  fi
}

# xpath EXPRESSION FILE: the string value of an XPath expression.
xpath() { xmllint --xpath "$1" "$2" 2>/dev/null; }

check_manifest() {
  local exe=${1%=*} level=${1##*=} name manifest flags got
  name=$(basename "$exe")
  manifest=$(mktemp)
  wrestool -x --raw --type=24 --name=1 "$exe" > "$manifest" 2>/dev/null
  if [ ! -s "$manifest" ]; then
    fail "$name has no manifest resource"
  elif ! xmllint --noout "$manifest"; then
    fail "$name: xmllint does not parse its manifest"
  else
    ok "$name: manifest parsed by xmllint"
    local v3="namespace-uri()='urn:schemas-microsoft-com:asm.v3'"
    got=$(xpath "string(/*[local-name()='assembly' and namespace-uri()='urn:schemas-microsoft-com:asm.v1']/*[local-name()='trustInfo' and $v3]/*[local-name()='security' and $v3]/*[local-name()='requestedPrivileges' and $v3]/*[local-name()='requestedExecutionLevel' and $v3]/@level)" "$manifest")
    [ "$got" = "$level" ] && ok "$name: level $level" || fail "$name: level '$got', expected $level"
    got=$(xpath "string(//*[local-name()='requestedExecutionLevel']/@uiAccess)" "$manifest")
    [ "$got" = "false" ] && ok "$name: uiAccess false" || fail "$name: uiAccess '$got'"
    got=$(xpath "//*[local-name()='compatibility' and namespace-uri()='urn:schemas-microsoft-com:compatibility.v1']/*[local-name()='application']/*[local-name()='supportedOS']/@Id" "$manifest" |
      grep -o '{[^}]*}' | sort)
    [ "$got" = "$SupportedOs" ] && ok "$name: supported from Vista to 11" || fail "$name: supportedOS Ids: $(echo $got)"
    got=$(xpath "count(//*[local-name()='dependency']) + count(//*[local-name()='assemblyIdentity' and @name='Microsoft.Windows.Common-Controls'])" "$manifest")
    [ "$got" = "0" ] && ok "$name: no common-controls 6 dependency" || fail "$name: the manifest has a dependency ($got)"
    got=$(xpath "string(//*[local-name()='application' and $v3]/*[local-name()='windowsSettings' and $v3]/*[local-name()='activeCodePage' and namespace-uri()='http://schemas.microsoft.com/SMI/2019/WindowsSettings'])" "$manifest")
    [ "$got" = "UTF-8" ] && ok "$name: ANSI code page UTF-8" || fail "$name: activeCodePage '$got', expected UTF-8"
    got=$(xpath "string(//*[local-name()='application' and $v3]/*[local-name()='windowsSettings' and $v3]/*[local-name()='dpiAware' and namespace-uri()='http://schemas.microsoft.com/SMI/2005/WindowsSettings'])" "$manifest")
    [ "$got" = "true" ] && ok "$name: aware of the display's scale" || fail "$name: dpiAware '$got', expected true"
  fi
  rm -f "$manifest"
  # IMAGE_FILE_LARGE_ADDRESS_AWARE in the file header's Characteristics.
  flags=$("$objdump" -p "$exe" | awk '$1=="Characteristics" {print $2; exit}')
  if [ -n "$flags" ] && (( flags & 0x20 )); then ok "$name: large address aware"; else fail "$name: not large address aware (Characteristics $flags)"; fi
  # IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE: on a Remote Desktop
  # session host the Windows folder is the system's, not a per-user copy.
  flags=$("$objdump" -p "$exe" | awk '$1=="DllCharacteristics" {print $2; exit}')
  if [ -n "$flags" ] && (( 0x$flags & 0x8000 )); then ok "$name: terminal-server aware"; else fail "$name: not terminal-server aware (DllCharacteristics $flags)"; fi
}

# version_strings FILE: the StringFileInfo of a raw version resource as
# "key=value" lines (each key is followed by its value in the resource).
version_strings() {
  strings -el -n 1 "$1" | awk 'prev != "" {print prev "=" $0; prev = ""; next}
    /^(FileDescription|FileVersion|OriginalFilename|ProductName|ProductVersion)$/ {prev = $0}'
}

# fixed_version FILE WHICH: a number of VS_FIXEDFILEINFO as a.b.c.d, WHICH 2
# for the file version, 4 for the product version (dwords after the
# signature 0xFEEF04BD, which starts on a dword boundary).
fixed_version() {
  od -An -v -tu4 -w4 "$1" | awk -v which="$2" '
    found && ++n == which {ms = $1} found && n == which + 1 {ls = $1; exit}
    !found && $1 == 4277077181 {found = 1; n = 0}
    END {if (ls != "") printf "%d.%d.%d.%d\n", int(ms / 65536), ms % 65536, int(ls / 65536), ls % 65536}'
}

check_version() {
  local exe=${1%%=*} description=${1#*=} name resource strings key expected got
  name=$(basename "$exe")
  resource=$(mktemp)
  wrestool -x --raw --type=16 "$exe" > "$resource" 2>/dev/null
  if [ ! -s "$resource" ]; then
    fail "$name has no version resource"; rm -f "$resource"; return
  fi
  strings=$(version_strings "$resource")
  for key in FileVersion ProductVersion ProductName FileDescription OriginalFilename; do
    case $key in
      FileVersion|ProductVersion) expected=$Version ;;
      ProductName) expected=$ProductTitle ;;
      FileDescription) expected=$description ;;
      OriginalFilename) expected=$name ;;
    esac
    got=$(awk -v k="$key" 'index($0, k "=") == 1 {print substr($0, length(k) + 2); exit}' <<<"$strings")
    [ "$got" = "$expected" ] && ok "$name: $key \"$got\"" || fail "$name: $key \"$got\", expected \"$expected\""
  done
  for key in 2 4; do
    got=$(fixed_version "$resource" $key)
    [ "$got" = "$Version.0" ] && ok "$name: fixed $([ $key = 2 ] && echo file || echo product) version $got" ||
      fail "$name: fixed version '$got', expected $Version.0"
  done
  rm -f "$resource"
}

# map_address MAP SYMBOL: the address of a symbol defined by the object of
# stack_guard.cpp, as objdump writes addresses (0x and no leading zeros);
# empty when missing.
map_address() {
  # An input section's line names its object; a long section name puts
  # the address, size and object on a line of their own.
  awk -v sym="$2" '/^ \./ || (NF == 3 && $1 ~ /^0x/ && $2 ~ /^0x/) {in_guard = /stack_guard\.cpp\.obj/; next}
    in_guard && NF == 2 && $2 == sym && $1 ~ /^0x/ {print $1; exit}' "$1" |
    sed -E 's/^0x0*/0x/'
}

check_guard() {
  local exe=$1 name map symbol address uses
  name=$(basename "$exe") map=$exe.map
  [ -s "$map" ] || { fail "$name: no linker map $map"; return; }
  for symbol in __stack_chk_guard __stack_chk_fail __chk_fail; do
    address=$(map_address "$map" "$symbol")
    [ -n "$address" ] && ok "$name: $symbol from stack_guard.cpp at $address" ||
      fail "$name: $symbol not linked from stack_guard.cpp"
  done
  grep -q 'libssp\.a(ssp\.o)' "$map" &&
    fail "$name: libssp's ssp.o is linked, whose guard needs advapi32's Crypt* functions" ||
    ok "$name: no libssp ssp.o"
  address=$(map_address "$map" __stack_chk_guard)
  [ -n "$address" ] || return
  uses=$("$objdump" -d "$exe" | grep -c -- "$address\b")
  [ "$uses" -gt 1 ] && ok "$name: $uses instructions read the guard" ||
    fail "$name: only $uses instructions name the guard's address $address"
}

case $mode in
  imports) check_allow_list; for exe in "$@"; do check_imports "$exe"; done ;;
  manifests) for spec in "$@"; do check_manifest "$spec"; done ;;
  versions) Version=$1 ProductTitle=$2; shift 2; for spec in "$@"; do check_version "$spec"; done ;;
  guard) for exe in "$@"; do check_guard "$exe"; done ;;
  *) echo "usage: programs.sh imports|manifests|versions|guard OBJDUMP ..." >&2; exit 2 ;;
esac
exit $status
