#!/usr/bin/env bash
# Shows that each rule of scripts/check-style.sh catches what it claims to:
# for each rule, a scratch copy of one source file (with .clang-format and
# the step) first passes the step, then gets one offending line planted,
# formatted like the rest, and must fail it with the rule's reason, naming
# the planted file. Fails when a rule let its line through, so a rule that
# quietly stops matching (a changed pattern, a moved file) is seen at once.
#   scripts/check-style-selftest.sh [--help]
set -euo pipefail
case "${1:-}" in
  -h | --help) sed -n '2,/^set -/{/^set -/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# plant NAME FILE REASON FORMAT LINES: LINES appended to a copy of FILE
# must fail the step with REASON; FORMAT is "format" to clang-format the
# planted copy first (every rule but clang-format's own).
plant() {
  local name=$1 file=$2 reason=$3 format=$4 lines=$5 copy="$scratch/$1" out
  mkdir -p "$copy/scripts" "$copy/$(dirname "$file")"
  cp "$root/.clang-format" "$copy/"
  cp "$root/scripts/check-style.sh" "$copy/scripts/"
  # One clean C++ source besides, so that a copy of a resource script has
  # sources for clang-format too.
  mkdir -p "$copy/common"
  cp "$root/common/system_call.h" "$copy/common/"
  cp "$root/$file" "$copy/$file"
  if ! (cd "$copy" && ZV_STYLE_SELFTEST=0 bash scripts/check-style.sh > /dev/null 2>&1); then
    echo "FAILED $name: $file fails the step before anything is planted" >&2
    failures=$((failures + 1))
    return
  fi
  printf '%s\n' "$lines" >> "$copy/$file"
  [ "$format" = format ] && clang-format -i "$copy/$file"
  if out=$(cd "$copy" && ZV_STYLE_SELFTEST=0 bash scripts/check-style.sh 2>&1 > /dev/null); then
    echo "FAILED $name: the step passed $file with the planted line" >&2
    failures=$((failures + 1))
  elif ! grep -F -- "$file" <<<"$out" | grep -q -F -- "$reason"; then
    echo "FAILED $name: the step failed, but not naming $file with \"$reason\":" >&2
    echo "$out" >&2
    failures=$((failures + 1))
  else
    echo "caught $name:"
    grep -F -- "$file" <<<"$out" | grep -F -- "$reason" | sed 's/^/  /'
  fi
}

plant clang-format common/dll_search.cpp "code should be clang-formatted" raw \
  'int  planted ;'
plant file-scope-static common/dll_search.cpp "never behind a file-scope static" format \
  'static int Planted;'
plant template-static common/dll_search.cpp "never behind a file-scope static" format \
  'template <typename T> static T Planted(T value)
{
  return value;
}'
plant macro-static common/dispatch.h "never behind a file-scope static" format \
  '#define ZV_PLANTED_TABLE(Name, kind, ...) \
  static const CommandEntry Name##Rows[] = {__VA_ARGS__}; \
  static const CommandTable Name = MakeCommandTable(Name##Rows, kind)'
plant sizeof common/dll_search.cpp "sizeof(x), with parentheses" format \
  'namespace {
int Planted = sizeof Planted;
}  // namespace'
plant local-type integration/shortcut_page.cpp "goes in its anonymous namespace" format \
  'struct PlantedShortcut {
  const char *linkName;
};'
plant message-box-text destination/dir_page.cpp "comes from a texts header" format \
  'void PlantedBox(HWND page)
{
  MessageBoxA(page, PageEmptyNameText, "Planted caption", MB_OK | MB_ICONWARNING);
}'
plant dialog-text destination/dir_page.cpp "comes from a texts header" format \
  'void PlantedLine(HWND page)
{
  SetDlgItemTextA(page, IDC_DEST_EDIT,
                  "C:\\Program files\\A planted destination long enough to wrap the call");
}'
plant system-call common/dll_search.cpp "common/system_call.h" format \
  'FARPROC PlantedLookup()
{
  return GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
}'
plant include-floor common/dll_search.cpp "may not include" format \
  '#include "shell/wizard.h"'
plant include-floor-rc resources/version_info.rc "resources/ may not include" raw \
  '#include "shell/wizard.h"'

if [ "$failures" -ne 0 ]; then
  echo "$failures planted line(s) not caught as claimed" >&2
  exit 1
fi
echo "every rule caught its planted line"
