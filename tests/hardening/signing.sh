#!/usr/bin/env bash
# Signing a release with scripts/sign.sh, with a throwaway certificate:
#   signing.sh OBJDUMP SETUP_EXE PAYLOAD_GZ WORK_DIR
# osslsigncode verify accepts the signed setup against that certificate; a
# second signing gives the same bytes; a signed copy with one payload byte
# changed afterwards fails verification. sign.sh --help is no error; a
# call it cannot carry out says why.
set -uo pipefail
objdump=$1 setup=$(realpath "$2") payload=$(realpath "$3") work=$4
here=$(cd "$(dirname "$0")" && pwd)
sign=$here/../../scripts/sign.sh
status=0
fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok  : $*"; }
rm -rf "$work"; mkdir -p "$work"; cd "$work" || exit 1

source "$here/throwaway-cert.sh"
throwaway_certificate . || { echo "FAIL: no throwaway certificate"; exit 1; }

"$sign" --help > help.log 2>&1 && grep -q -- '--pfx FILE' help.log &&
  ok "sign.sh --help prints the usage and exits 0" || fail "sign.sh --help: $(cat help.log)"
"$sign" --pfx publisher.pfx > usage.log 2>&1
[ $? -eq 2 ] && grep -q 'no program to sign' usage.log && grep -q '^usage:' usage.log &&
  ok "sign.sh without a program exits 2, saying so" || fail "sign.sh without a program: $(cat usage.log)"

verify() { osslsigncode verify -CAfile cert.pem -in "$1" > "$1.verify.log" 2>&1; }
export SOURCE_DATE_EPOCH=1700000000
cp "$setup" first.exe && cp "$setup" second.exe
if "$sign" --pfx publisher.pfx --password-file password.txt first.exe second.exe; then
  ok "sign.sh signed two copies"
else
  fail "sign.sh failed"
fi
if verify first.exe; then ok "osslsigncode verify accepts the signed setup"; else fail "verify rejects the signed setup:"; tail -5 first.exe.verify.log; fi
cmp -s first.exe "$setup" && fail "the signed copy is the unsigned program"
cmp -s first.exe second.exe && ok "two signings give the same bytes" || fail "two signings differ"

# One byte in the middle of the payload resource changed after signing. The
# resource's address is relative to the image; .rsrc maps it to the file.
base=$("$objdump" -p first.exe | awk '$1=="ImageBase" {print "0x"$2}')
read -r vma fileoff < <("$objdump" -h first.exe | awk '$2==".rsrc" {print "0x"$4, "0x"$6}')
read -r rva size < <(wrestool -l --type=10 --name=15734 first.exe |
  sed -E 's/.*offset=(0x[0-9a-f]+) size=([0-9]+).*/\1 \2/')
offset=$((rva - (vma - base) + fileoff))
if cmp -s <(tail -c +$((offset + 1)) first.exe | head -c "$size") "$payload"; then
  ok "payload found at byte $offset of the signed setup"
  cp first.exe tampered.exe
  at=$((offset + size / 2))
  byte=$(od -An -tu1 -j "$at" -N1 tampered.exe | tr -d ' ')
  printf "\\$(printf %03o $(((byte + 1) % 256)))" |
    dd of=tampered.exe bs=1 seek="$at" conv=notrunc status=none
  if cmp -s first.exe tampered.exe; then
    fail "the payload byte was not changed"
  elif verify tampered.exe; then
    fail "verify accepts a setup whose payload changed after signing"
  elif ! grep -q 'Calculated message digest.*MISMATCH' tampered.exe.verify.log; then
    fail "verify rejects the changed setup, but not for its digest:"; cat tampered.exe.verify.log
  else
    ok "verify rejects the setup with payload byte $at changed (its digest no longer matches)"
  fi
else
  fail "the payload resource is not where wrestool says"
fi
exit $status
