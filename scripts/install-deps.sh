#!/usr/bin/env bash
# Installs what building and testing the setup program needs on Debian 12:
# the mingw-w64 cross compilers, zlib for Windows, Wine (32- and 64-bit),
# a virtual X display, GoogleTest, clang for the fuzzers, the tools the
# end-to-end tests read results with, the tools that check and sign the
# built programs (xmllint, wrestool, openssl, osslsigncode) and
# clang-format for the style check.
#   install-deps.sh [PACKAGE...]
# PACKAGEs are Debian packages wanted on top of those, for example the
# benchmarks' libbenchmark-dev and nsis. Does nothing when all is there.
# As root it runs apt-get itself, otherwise through sudo.
set -euo pipefail
case "${1:-}" in
  -h | --help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
esac

PKGS=(
  cmake make g++ clang libclang-rt-14-dev googletest zlib1g-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
  libz-mingw-w64-dev
  wine wine32:i386 wine64
  xvfb x11-apps x11-utils imagemagick
  liblnk-utils file
  libxml2-utils icoutils openssl osslsigncode
  clang-format
  "$@"
)

SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
