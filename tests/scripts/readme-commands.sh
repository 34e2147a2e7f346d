#!/usr/bin/env bash
# Every command the README gives is run by the test command, or is listed
# in readme-commands.txt with the test or step that runs it in its place:
# this fails on a command of the README that the list does not hold (a
# new or changed command no test runs), and on a listed one the README no
# longer gives. Commands are the lines of the README's code blocks (a
# line ending in "\" joined with the next) and the spans in backquotes
# that start with a command (bash, cmake, ctest, wine, osslsigncode, ...).
#   readme-commands.sh [README [LIST]]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
readme=${1:-$here/../../README.md}
list=${2:-$here/readme-commands.txt}
commands() {
  awk '
    function flush() { if (cmd != "") print cmd; cmd = "" }
    /^    [^ -]/ && (blank || code) || /^    / && cont {
      line = $0; sub(/^ +/, "", line)
      cont = line ~ /\\$/
      sub(/[ \t]*\\$/, "", line)
      cmd = cmd == "" ? line : cmd " " line
      if (!cont) flush()
      code = 1; blank = 0; next
    }
    /^    / && code { next }
    { flush(); code = 0; cont = 0; blank = ($0 ~ /^[ \t]*$/) }
    {
      text = $0
      while (match(text, /`[^`]+`/)) {
        span = substr(text, RSTART + 1, RLENGTH - 2)
        text = substr(text, RSTART + RLENGTH)
        if (span ~ /^(bash|cmake|ctest|wine|osslsigncode|openssl|mkdir|ZV_[A-Z_]+=[^ ]+) /)
          print span
      }
    }' "$1" | sed -E 's/[[:space:]]+/ /g' | LC_ALL=C sort -u
}
commands "$readme" > "${TMPDIR:-/tmp}/readme-commands.$$"
trap 'rm -f "${TMPDIR:-/tmp}/readme-commands.$$"' EXIT
status=0
while IFS= read -r command; do
  covered=$(awk -F '\t' -v c="$command" '$1 == c {print $2; exit}' "$list")
  if [ -n "$covered" ]; then
    echo "ok  : $command  <- $covered"
  else
    echo "FAIL: the README gives a command no test runs: $command"
    echo "      (run it from scripts/test.sh or a test, and list it in $list)"
    status=1
  fi
done < "${TMPDIR:-/tmp}/readme-commands.$$"
while IFS=$'\t' read -r command covered; do
  [ -z "$command" ] || [[ "$command" == \#* ]] && continue
  grep -qxF -- "$command" "${TMPDIR:-/tmp}/readme-commands.$$" ||
    { echo "FAIL: listed, but not in the README: $command"; status=1; }
done < "$list"
exit $status
