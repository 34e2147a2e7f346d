#!/usr/bin/env bash
# Signs Windows programs with Authenticode, in place, using osslsigncode:
#   scripts/sign.sh [--help]
#   scripts/sign.sh --pfx FILE [--password-file FILE] [--timestamp URL] EXE...
# --pfx: the publisher's certificate and private key as a PKCS#12 file.
# --password-file: a file whose first line is that file's password (none:
#   the PKCS#12 file has no password). Never on the command line, where
#   other users of the machine can read it.
# --timestamp: an RFC 3161 time-stamp authority that countersigns, so the
#   signature stays valid after the certificate has expired.
# Without --timestamp the signature is deterministic: the same program and
# key give the same bytes. Its signing time is then SOURCE_DATE_EPOCH, by
# default the time of the checked-out commit.
# A signature already on a program is replaced.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage_line="usage: $0 --pfx FILE [--password-file FILE] [--timestamp URL] EXE..."
# usage REASON: what was wrong, then the usage line; exits 2.
usage() {
  echo "sign.sh: $1" >&2
  echo "$usage_line" >&2
  exit 2
}
pfx= password_file= timestamp=
while [ $# -gt 0 ]; do
  case $1 in
    -h | --help)
      # The comment at the top of this file.
      sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
      exit 0 ;;
    --pfx | --password-file | --timestamp)
      [ $# -ge 2 ] || usage "$1 needs a value"
      case $1 in
        --pfx) pfx=$2 ;;
        --password-file) password_file=$2 ;;
        --timestamp) timestamp=$2 ;;
      esac
      shift 2 ;;
    --) shift; break ;;
    -*) usage "unknown option $1" ;;
    *) break ;;
  esac
done
[ -n "$pfx" ] || usage "no --pfx FILE given"
[ $# -gt 0 ] || usage "no program to sign given"
command -v osslsigncode > /dev/null ||
  { echo "sign.sh: osslsigncode is not installed (Debian package osslsigncode)" >&2; exit 1; }
for file in "$pfx" ${password_file:+"$password_file"} "$@"; do
  [ -r "$file" ] || { echo "sign.sh: cannot read $file" >&2; exit 1; }
done

args=(sign -pkcs12 "$pfx" -h sha256 -n "The Zorvane")
[ -z "$password_file" ] || args+=(-readpass "$password_file")
if [ -n "$timestamp" ]; then
  args+=(-ts "$timestamp")
else
  epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2> /dev/null || true)}
  [[ "$epoch" =~ ^[0-9]+$ ]] ||
    { echo "sign.sh: no time-stamp URL and no SOURCE_DATE_EPOCH (nor a commit to take it from)" >&2; exit 1; }
  args+=(-time "$epoch")
fi

for exe in "$@"; do
  # Written in a folder of its own beside the program (osslsigncode makes
  # the file itself) and moved over it only once complete, so a failed
  # signing leaves the program as it was.
  work=$(mktemp -d "$(dirname "$exe")/.signing.XXXXXX")
  if ! osslsigncode "${args[@]}" -in "$exe" -out "$work/signed" > "$work/log" 2>&1; then
    cat "$work/log" >&2
    rm -rf "$work"
    echo "sign.sh: signing $exe failed" >&2
    exit 1
  fi
  chmod --reference="$exe" "$work/signed"
  mv -f "$work/signed" "$exe"
  rm -rf "$work"
  echo "signed $exe"
done
