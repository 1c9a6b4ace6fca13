#!/usr/bin/env bash
# Signs Windows files in place with Authenticode (osslsigncode, Debian's package), as the
# build does for every program, advert.dll, both installers and the NSIS uninstaller:
#   scripts/sign.sh PKCS12 TIMESTAMP_URL DESCRIPTION FILE...
# PKCS12 is the code-signing certificate with its key (a .p12/.pfx file); its password comes
# from the environment at build time, never from the command line or the build files:
#   QV_SIGN_PASSWORD       the password itself, or
#   QV_SIGN_PASSWORD_FILE  a file whose first line is the password.
# TIMESTAMP_URL is an RFC 3161 timestamp server ("" for none: the signature is then valid
# only while the certificate is). The build passes both from docs/building.md's variables;
# DESCRIPTION is the product name the signature carries.
set -euo pipefail

usage="usage: sign.sh PKCS12 TIMESTAMP_URL DESCRIPTION FILE..."
pkcs12=${1:?$usage}
timestamp=${2?$usage}
description=${3:?$usage}
shift 3

say() { printf '[sign] %s\n' "$*" >&2; }

command -v osslsigncode >/dev/null ||
  { say "osslsigncode is missing (Debian package osslsigncode; bash scripts/setup.sh installs it)"; exit 1; }
[ -f "$pkcs12" ] || { say "no certificate at $pkcs12 (QV_SIGN_PKCS12)"; exit 1; }

if [ -n "${QV_SIGN_PASSWORD_FILE:-}" ]; then
  password_file=$QV_SIGN_PASSWORD_FILE
elif [ -n "${QV_SIGN_PASSWORD+set}" ]; then
  # Handed to osslsigncode through a file only this user reads, removed afterwards: a
  # password on a command line is visible to every user of the machine.
  password_file=$(mktemp)
  trap 'rm -f "$password_file"' EXIT
  printf '%s\n' "$QV_SIGN_PASSWORD" >"$password_file"
else
  say "QV_SIGN_PKCS12 is set but neither QV_SIGN_PASSWORD nor QV_SIGN_PASSWORD_FILE is"
  exit 1
fi

options=(-pkcs12 "$pkcs12" -readpass "$password_file" -h sha256 -n "$description")
[ -n "$timestamp" ] && options+=(-ts "$timestamp")

for file in "$@"; do
  signed="$file.signing"
  rm -f "$signed"
  osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >/dev/null ||
    { rm -f "$signed"; say "signing $file failed (osslsigncode says why above)"; exit 1; }
  mv -f "$signed" "$file"
  say "signed $(basename "$file")"
done
