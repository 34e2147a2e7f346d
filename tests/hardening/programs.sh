#!/usr/bin/env bash
# Checks the shipped programs as files:
#   programs.sh imports OBJDUMP EXE...
#     each imports at load time only DLLs that Windows always takes from its
#     system directory (its KnownDLLs), so none can be planted beside it;
#   programs.sh manifests OBJDUMP EXE=LEVEL...
#     each carries a manifest (resource 1 of type 24) that xmllint parses,
#     asks for LEVEL, declares Vista to 11 and does not ask for the common
#     controls 6; and each is large address aware.
set -uo pipefail
mode=$1 objdump=$2; shift 2
status=0
fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok  : $*"; }

Allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
msvcrt.dll comdlg32.dll shlwapi.dll"
# Vista, 7, 8, 8.1, 10 and 11 (one Id for the last two).
SupportedOs="{1f676c76-80e1-4239-95bb-83d0f6d0da78}
{35138b9a-5d96-4fbd-8e2d-a2440225f93a}
{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}
{e2011457-1546-43c5-a5fe-008deee3d3f0}"

check_imports() {
  local exe=$1 dlls dll
  dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
  [ -n "$dlls" ] || { fail "$exe: no import table read"; return; }
  echo "$(basename "$exe") imports: $(echo $dlls)"
  for dll in $dlls; do
    if grep -qw -- "$dll" <<<"$Allowed"; then ok "$(basename "$exe"): $dll"; else fail "$(basename "$exe") imports $dll, which Windows may take from the program's folder"; fi
  done
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
  fi
  rm -f "$manifest"
  # IMAGE_FILE_LARGE_ADDRESS_AWARE in the file header's Characteristics.
  flags=$("$objdump" -p "$exe" | awk '$1=="Characteristics" {print $2; exit}')
  if [ -n "$flags" ] && (( flags & 0x20 )); then ok "$name: large address aware"; else fail "$name: not large address aware (Characteristics $flags)"; fi
}

case $mode in
  imports) for exe in "$@"; do check_imports "$exe"; done ;;
  manifests) for spec in "$@"; do check_manifest "$spec"; done ;;
  *) echo "usage: programs.sh imports|manifests OBJDUMP ..." >&2; exit 2 ;;
esac
exit $status
