#!/usr/bin/env bash
# Lays out what the installers pack, as the build does before makensis and wixl run:
#   scripts/stage-package.sh STAGE EPOCH [--sign PKCS12 TIMESTAMP_URL DESCRIPTION] -- SOURCE=DEST...
# Each SOURCE is copied to STAGE/DEST (DEST relative, folders made as needed); STAGE is
# emptied first, so nothing of an earlier build is packed. With --sign each copy is signed
# (scripts/sign.sh) that is a program or a library (.exe, .scr, .dll); without it the
# copies are left unsigned, and the build says so, once. Every file and folder then gets
# the modification time EPOCH (seconds since 1970, SOURCE_DATE_EPOCH), which is what the
# installers record and set on the installed files: two builds of one commit pack the same
# times, whenever and wherever they ran.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

usage="usage: stage-package.sh STAGE EPOCH [--sign PKCS12 TIMESTAMP_URL DESCRIPTION] -- SOURCE=DEST..."
stage=${1:?$usage}
epoch=${2:?$usage}
shift 2
sign=()
if [ "${1:-}" = --sign ]; then
  sign=("$2" "$3" "$4")
  shift 4
fi
[ "${1:-}" = -- ] || { echo "$usage" >&2; exit 2; }
shift

rm -rf "$stage"
mkdir -p "$stage"
to_sign=()
for pair in "$@"; do
  source=${pair%%=*} dest=${pair#*=}
  [ -f "$source" ] || { echo "[stage] missing: $source" >&2; exit 1; }
  mkdir -p "$(dirname "$stage/$dest")"
  cp "$source" "$stage/$dest"
  case $dest in *.exe|*.scr|*.dll) to_sign+=("$stage/$dest") ;; esac
done

if [ ${#sign[@]} -gt 0 ]; then
  bash "$here/sign.sh" "${sign[@]}" "${to_sign[@]}"
else
  echo "[stage] unsigned build: no code-signing certificate (QV_SIGN_PKCS12, see docs/building.md)" >&2
fi

find "$stage" -exec touch -h -d "@$epoch" {} +
