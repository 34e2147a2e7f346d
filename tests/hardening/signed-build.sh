#!/usr/bin/env bash
# A publisher's release build signs the programs of the payload: the
# application is built with ZV_SIGN_ARGS naming a throwaway certificate, in
# a tree of its own that reuses the native tools, and only as far as the
# payload (no setup.exe, no tests):
#   signed-build.sh SOURCE_DIR HOST_TOOLS WORK_DIR
# osslsigncode verify accepts Zorvane.exe and uninstall.exe in app-stage/
# and as packed into payload.dat.
set -uo pipefail
src=$(cd "$1" && pwd) tools=$(cd "$2" && pwd) work=$3
status=0
fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok  : $*"; }
rm -rf "$work"; mkdir -p "$work/keys" || exit 1
source "$src/tests/hardening/throwaway-cert.sh"
throwaway_certificate "$work/keys" || { echo "FAIL: no throwaway certificate"; exit 1; }
keys=$work/keys tree=$work/build
export SOURCE_DATE_EPOCH=1700000000

(cd "$src" && cmake --preset win32 -B "$tree" -DZV_HOST_TOOLS="$tools" \
  "-DZV_SIGN_ARGS=--pfx;$keys/publisher.pfx;--password-file;$keys/password.txt") \
  > "$work/configure.log" 2>&1 || { tail -20 "$work/configure.log"; echo "FAIL: configure"; exit 1; }
cmake --build "$tree" --target zv_packed_payload -j "${ZV_JOBS:-2}" > "$work/build.log" 2>&1 ||
  { grep -iE "error|sign|\*\*\*" "$work/build.log" | tail -20; echo "FAIL: build of the payload"; exit 1; }
ok "payload built with ZV_SIGN_ARGS"

verify() { osslsigncode verify -CAfile "$keys/cert.pem" -in "$1" > "$1.verify.log" 2>&1; }

# The archive's entries (name length byte, name, 32-bit little-endian size,
# data), the named ones written into a folder.
mkdir -p "$work/packed"
perl -e '
  my ($archive, $dir, %want) = (shift, shift, map { $_ => 1 } @ARGV);
  open(my $f, "<:raw", $archive) or die "$archive: $!";
  while (read($f, my $len, 1) == 1) {
    read($f, my $name, ord $len); read($f, my $size, 4);
    read($f, my $data, unpack("V", $size));
    next unless $want{$name};
    open(my $o, ">:raw", "$dir/$name") or die; print $o $data; close $o;
  }' "$tree/generated/payload.dat" "$work/packed" Zorvane.exe uninstall.exe

# Each program, as staged and as packed, is signed, and both are one file.
for name in Zorvane.exe uninstall.exe; do
  for copy in "$tree/app-stage/$name" "$work/packed/$name"; do
    verify "$copy" && ok "osslsigncode verify accepts $copy" ||
      { fail "verify rejects $copy:"; tail -3 "$copy.verify.log"; }
  done
  cmp -s "$tree/app-stage/$name" "$work/packed/$name" || fail "the payload's $name is not the staged one"
done
[ $status -eq 0 ] && rm -rf "$tree"
exit $status
