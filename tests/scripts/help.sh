#!/usr/bin/env bash
# Every command a user is told to type answers --help with its usage and
# does nothing else: no build, no test, no install, no Wine. Each runs with
# the tools it could start replaced by stand-ins that note being called.
#   help.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
status=0
fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok  : $*"; }
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
for tool in cmake ctest make wine wineserver wineboot apt-get dpkg sudo Xvfb convert \
  osslsigncode openssl makensis clang-format git dpkg-query; do
  printf '#!/bin/sh\necho "%s $*" >> "%s/called"\nexit 1\n' "$tool" "$stubs" > "$stubs/$tool"
  chmod +x "$stubs/$tool"
done
cd "$root"
for script in scripts/*.sh bench/*/run.sh tests/fuzz/run-target.sh; do
  rm -f "$stubs/called"
  PATH="$stubs:$PATH" timeout 20 bash "$script" --help > "$stubs/out" 2> "$stubs/err"
  rc=$?
  if [ $rc -ne 0 ]; then
    fail "$script --help exits with $rc: $(head -3 "$stubs/err")"
  elif [ -s "$stubs/called" ]; then
    fail "$script --help ran $(head -1 "$stubs/called")"
  elif ! grep -qF "$(basename "$script")" "$stubs/out"; then
    fail "$script --help does not show its usage ($(head -1 "$stubs/out"))"
  elif [ -s "$stubs/err" ]; then
    fail "$script --help writes to stderr: $(head -1 "$stubs/err")"
  else
    ok "$script --help shows its usage and does nothing else"
  fi
done
exit $status
