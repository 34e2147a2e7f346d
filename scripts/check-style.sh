#!/usr/bin/env bash
# Fails when a C++ source of the project does not follow .clang-format or
# the dialect below, or includes a header of a floor above its own (README:
# Layout), naming the file and line. Mend with: clang-format -i FILE...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
  mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t sources < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
[ ${#sources[@]} -gt 0 ] || { echo "no C++ sources found" >&2; exit 1; }
clang-format --dry-run --Werror "${sources[@]}"
echo "${#sources[@]} sources follow .clang-format"

# One dialect beyond what clang-format sees: file-local names live in an
# anonymous namespace, never behind a file-scope `static`; sizeof always
# takes parentheses. (clang-format itself removes braces around a body of
# one simple statement: RemoveBracesLLVM.)
dialect=$(grep -Hn -E '^static [^_]|[^_[:alnum:]]sizeof [^(]' -- "${sources[@]}" | grep -v 'static_assert' || true)
if [ -n "$dialect" ]; then
  echo "$dialect" | sed 's/$/  <- file-local names go in an anonymous namespace; sizeof(x)/' >&2
  exit 1
fi
echo "file-local names in anonymous namespaces; sizeof with parentheses"

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
check_include_floors
