#!/usr/bin/env bash
# Fails when a C++ source of the project does not follow .clang-format or
# the dialect below, or includes a header of a floor above its own (README:
# Layout), naming the file and line. Mend with: clang-format -i FILE...
# Each rule is a function of its own; every rule runs and reports before the
# step fails. Then scripts/check-style-selftest.sh plants one offending line
# per rule in a scratch copy and shows each rule catching it (ZV_STYLE_SELFTEST=0
# leaves that out, as the copies themselves do).
#   scripts/check-style.sh [--help]
set -euo pipefail
case "${1:-}" in
  -h | --help) sed -n '2,/^set -/{/^set -/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
  mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t sources < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
[ ${#sources[@]} -gt 0 ] || { echo "no C++ sources found" >&2; exit 1; }
failed=0

# report WHY: the offending lines read on stdin ("file:line: text"), each
# with the rule's reason, on stderr. Fails when there were any.
report() {
  local found
  found=$(cat)
  [ -z "$found" ] && return 0
  sed "s|\$|  <- $1|" <<<"$found" >&2
  return 1
}

check_format() {
  clang-format --dry-run --Werror "${sources[@]}" || return 1
  echo "${#sources[@]} sources follow .clang-format"
}

# File-local names live in an anonymous namespace, never behind a
# file-scope `static`: not at the start of a line, not after `template <...>`,
# and not in a macro's body, where it would land at file scope wherever the
# macro is written.
check_file_scope_static() {
  awk '
    FNR == 1 { inMacro = 0 }
    {
      bad = $0 ~ /^static[[:space:]]/ || $0 ~ /^template[[:space:]]*<.*>[[:space:]]*static[[:space:]]/
      if ($0 ~ /^#[[:space:]]*define[[:space:]]/ && $0 ~ /[^_[:alnum:]]static[[:space:]]/)
        bad = 1
      if (inMacro && $0 ~ /^[[:space:]]*static[[:space:]]/)
        bad = 1
      if (bad)
        print FILENAME ":" FNR ": " $0
      inMacro = ($0 ~ /^#[[:space:]]*define[[:space:]]/ || inMacro) && $0 ~ /\\$/
    }' "${sources[@]}" |
    report "file-local names go in an anonymous namespace, never behind a file-scope static" ||
    return 1
  echo "no file-scope static, none after a template, none made by a macro"
}

check_sizeof() {
  { grep -Hn -E '[^_[:alnum:]]sizeof [^(]' -- "${sources[@]}" || true; } |
    report "sizeof(x), with parentheses" || return 1
  echo "sizeof with parentheses"
}

# A struct, enum, union or class defined in a .cpp at file level belongs to
# that file alone: outside the anonymous namespace it has external linkage,
# and two files with a type of the same name break the one-definition rule
# without a word from the linker. A type a header declares (`struct Name;`)
# and the .cpp defines is the exception.
check_local_types() {
  local cpps=() declared
  for file in "${sources[@]}"; do [[ $file == *.cpp ]] && cpps+=("$file"); done
  declared=$(grep -h -E '^(struct|enum|union|class) [A-Za-z_][A-Za-z0-9_]*;' -- "${sources[@]}" |
    sed -E 's/^[a-z]+ ([A-Za-z0-9_]+);.*/\1/' | tr '\n' ' ' || true)
  awk -v declared=" $declared " '
    FNR == 1 { anonymous = 0 }
    /^namespace[[:space:]]*\{/ { anonymous = 1 }
    /^\}[[:space:]]*\/\/[[:space:]]*namespace[[:space:]]*$/ { anonymous = 0 }
    /^(struct|enum|union|class)[[:space:]]+(class[[:space:]]+)?[A-Za-z_][A-Za-z0-9_]*/ {
      if (anonymous || ($0 !~ /\{/ && $0 ~ /;[[:space:]]*$/))
        next
      name = $0
      sub(/^(struct|enum|union|class)[[:space:]]+(class[[:space:]]+)?/, "", name)
      sub(/[^A-Za-z0-9_].*$/, "", name)
      if (index(declared, " " name " ") == 0)
        print FILENAME ":" FNR ": " $0
    }' "${cpps[@]}" |
    report "a type of this file alone goes in its anonymous namespace" || return 1
  echo "file-local types in anonymous namespaces"
}

# What the programs' user reads comes from the texts headers
# (resources/setup_texts.h, the uninstaller's uninstall_texts.h), which the
# tests read too: a literal passed to MessageBoxA or SetDlgItemTextA anywhere
# else in the programs is a text the tests cannot hold them to. (Tests and
# benches show boxes of their own.) The whole call is read, over several lines.
check_box_texts() {
  local others=()
  for file in "${sources[@]}"; do
    case "${file#./}" in *_texts.h | tests/* | bench/*) ;; *) others+=("$file") ;; esac
  done
  awk '
    FNR == 1 { open = 0 }
    {
      text = $0
      sub(/\/\/.*$/, "", text)
      if (!open) {
        at = match(text, /(MessageBoxA|SetDlgItemTextA)[[:space:]]*\(/)
        if (at == 0)
          next
        open = 1; depth = 0
        text = substr(text, at)
      }
      for (i = 1; i <= length(text) && open; ++i) {
        c = substr(text, i, 1)
        if (c == "\"") {
          print FILENAME ":" FNR ": " $0
          open = 0
        } else if (c == "(") {
          ++depth
        } else if (c == ")" && --depth == 0) {
          open = 0
        }
      }
    }' "${others[@]}" |
    report "a text the user reads comes from a texts header (*_texts.h), not a literal here" ||
    return 1
  echo "message boxes and dialog texts take their texts from the texts headers"
}

# A function looked up at run time goes through SystemCall or ModuleCall
# (common/system_call.h): one place that casts what GetProcAddress returns.
check_system_calls() {
  local others=()
  for file in "${sources[@]}"; do [[ $file == */system_call.h ]] || others+=("$file"); done
  { grep -Hn 'GetProcAddress' -- "${others[@]}" || true; } |
    { grep -v -E '^[^:]+:[0-9]+:[[:space:]]*//' || true; } |
    report "look a system function up with SystemCall or ModuleCall (common/system_call.h)" ||
    return 1
  echo "run-time lookups through common/system_call.h"
}

for rule in check_format check_file_scope_static check_sizeof check_local_types check_box_texts \
  check_system_calls; do
  "$rule" || failed=1
done

# One role per floor (README: Layout), for the C++ sources and the resource
# scripts alike: resources/ at the bottom; common/, what every program
# shares, on it; setup_common/, setup's own shared parts, on common/; the
# features (destination/, payload/, integration/) on setup_common/; shell/,
# setup's frame, on the features. The other programs, app/ and uninstall/,
# stand on common/ and resources/ alone. Each floor includes its own folder
# and the floors below it; a header without a folder is a generated one.
check_include_floors() {
  local broken=0 file line text own included allowed
  local features="destination payload integration" scripts
  if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    mapfile -t scripts < <(git ls-files -- '*.rc')
  else
    mapfile -t scripts < <(find . -path ./build -prune -o -name '*.rc' -print)
  fi
  while IFS=: read -r file line text; do
    file=${file#./}
    own=${file%%/*}
    included=$(sed -E 's/^[[:space:]]*#include "([^"]+)".*/\1/' <<<"$text")
    [[ $included == */* ]] || continue
    case "$own" in
      resources) allowed="resources" ;;
      common) allowed="common resources" ;;
      setup_common) allowed="setup_common common resources" ;;
      destination | payload | integration) allowed="$own setup_common common resources" ;;
      shell) allowed="shell $features setup_common common resources" ;;
      app | uninstall) allowed="$own common resources" ;;
      *) continue ;;
    esac
    if [[ " $allowed " != *" ${included%%/*} "* ]]; then
      echo "$file:$line: $own/ may not include \"$included\"" >&2
      broken=1
    fi
  done < <(grep -Hn '^[[:space:]]*#include "' -- "${sources[@]}" "${scripts[@]}")
  [ "$broken" -eq 0 ] || { echo "includes run across the floors; see README (Layout)" >&2; return 1; }
  echo "includes keep to their floors"
}
check_include_floors || failed=1
[ "$failed" -eq 0 ] || exit 1

if [ "${ZV_STYLE_SELFTEST:-1}" != 0 ]; then
  bash scripts/check-style-selftest.sh
fi
