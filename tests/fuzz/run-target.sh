#!/usr/bin/env bash
# Runs one libFuzzer target of the fuzz build, exactly as its test does:
#   tests/fuzz/run-target.sh [--help] FUZZ_BUILD TARGET [SECONDS]
# FUZZ_BUILD is the fuzz build tree (cmake --preset fuzz: build/fuzz),
# TARGET a fuzz target (fuzz_entry_reader, fuzz_gunzip_archive,
# fuzz_folder_descriptor). It runs for
# SECONDS, by default ZV_FUZZ_SECONDS, else 20, with inputs of at most
# 64 KiB, growing the corpus FUZZ_BUILD/tests/fuzz/TARGET.corpus from the
# seed corpus tests/fuzz/corpus/NAME (TARGET without "fuzz_"). A crash or
# leak is written as FUZZ_BUILD/tests/fuzz/TARGET-crash-... (or -leak-,
# -timeout-), never into the current folder. For an hour each:
#   ZV_FUZZ_SECONDS=3600 ctest --test-dir build/fuzz -L fuzz --output-on-failure
#   bash tests/fuzz/run-target.sh build/fuzz fuzz_entry_reader 3600
set -euo pipefail
case "${1:-}" in
  -h | --help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac
usage() {
  echo "run-target.sh: $1" >&2
  echo "usage: $0 FUZZ_BUILD TARGET [SECONDS]" >&2
  exit 2
}
[ $# -ge 2 ] && [ $# -le 3 ] || usage "takes a fuzz build tree, a target and optionally seconds"
here=$(cd "$(dirname "$0")" && pwd)
dir=$(cd "$1" && pwd)/tests/fuzz
target=$2
seconds=${3:-${ZV_FUZZ_SECONDS:-20}}
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || usage "seconds must be a whole number above 0, not '$seconds'"
[ -x "$dir/$target" ] || usage "no fuzz target $dir/$target (build it: cmake --build $1)"
seeds=$here/corpus/${target#fuzz_}
[ -d "$seeds" ] || usage "no seed corpus $seeds"
mkdir -p "$dir/$target.corpus"
exec env ASAN_OPTIONS=detect_leaks=1 "$dir/$target" -max_total_time="$seconds" -max_len=65536 \
  -artifact_prefix="$dir/$target-" "$dir/$target.corpus" "$seeds"
