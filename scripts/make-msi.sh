#!/usr/bin/env bash
# Makes Quorvanes.msi with wixl from installer/quorvanes.wxs, as the build does:
#   scripts/make-msi.sh OUT WXS STAGE ICON VERSION ARCH EPOCH [--sign PKCS12 URL DESCRIPTION] -- NAME=TEXT...
# ARCH is x86 or x64; NAME=TEXT are the names of cmake/installer_names.cmake. The codes a
# package needs are derived, not drawn at random, so that two builds of one commit make the
# same package:
#   product code  from the version and ARCH (a new version is a new product: major upgrade)
#   package code  from everything packed and the source (another package, another code)
# SOURCE_DATE_EPOCH (EPOCH) is in the environment of wixl. With --sign the package is signed
# afterwards (scripts/sign.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: make-msi.sh OUT WXS STAGE ICON VERSION ARCH EPOCH [--sign PKCS12 URL DESCRIPTION] -- NAME=TEXT..."
out=${1:?$usage} wxs=${2:?$usage} stage=${3:?$usage} icon=${4:?$usage}
version=${5:?$usage} arch=${6:?$usage} epoch=${7:?$usage}
shift 7
sign=()
if [ "${1:-}" = --sign ]; then sign=("$2" "$3" "$4"); shift 4; fi
[ "${1:-}" = -- ] || { echo "$usage" >&2; exit 2; }
shift

# A GUID from the SHA-256 of a text (its first 128 bits, shaped as a name-based UUID).
guid_of() {
  local h
  h=$(printf '%s' "$1" | sha256sum | cut -c1-32 | tr a-f A-F)
  printf '%s-%s-5%s-%X%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" \
    $(( (0x${h:16:1} & 0x3) | 0x8 )) "${h:17:3}" "${h:20:12}"
}
product=$(guid_of "Quorvanes product $version $arch")
packed=$(cd "$stage" && find . -type f | LC_ALL=C sort | xargs -d '\n' sha256sum)
package=$(guid_of "Quorvanes package $version $arch $(sha256sum <"$wxs") $(sha256sum <"$icon") $packed")

defines=()
for pair in "$@"; do defines+=(-D "$pair"); done
defines+=(-D "QV_ARCH=$arch")
rm -f "$out"
# wixl finds the packed files by paths relative to the folder it runs in: a work folder
# with the staged files and the icon, so that no build path reaches the package either.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$stage" "$work/files"
cp "$icon" "$work/product.ico"
touch -d "@$epoch" "$work/product.ico"
cp "$wxs" "$work/package.wxs"
# wixl 0.101 writes the time of day as the summary information's creation and save times,
# whatever SOURCE_DATE_EPOCH says, and draws the package code at random (it ignores
# Package/@Id): it runs with the clock at EPOCH (faketime, Debian's package), and msibuild
# then writes the derived package code. Without faketime the package is made all the same,
# with the build's time in those two fields (docs/building.md).
at=()
if command -v faketime >/dev/null; then
  at=(env TZ=UTC faketime -f "@$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')")
else
  echo "[msi] faketime is missing (Debian package faketime): the MSI keeps the build's time" >&2
fi
(cd "$work" && "${at[@]}" env SOURCE_DATE_EPOCH="$epoch" wixl -a "$arch" -o package.msi \
  -D QV_FILES=files -D QV_ICON=product.ico -D "QV_VERSION=$version" \
  -D "QV_PRODUCT_CODE=$product" -D "QV_PACKAGE_CODE=$package" "${defines[@]}" package.wxs)
template=$([ "$arch" = x64 ] && echo "x64;1033" || echo "Intel;1033")
name=$(for pair in "$@"; do case $pair in PRODUCT=*) echo "${pair#PRODUCT=}" ;; esac; done)
publisher=$(for pair in "$@"; do case $pair in PUBLISHER=*) echo "${pair#PUBLISHER=}" ;; esac; done)
(cd "$work" && "${at[@]}" msibuild package.msi -s "$name" "$publisher" "$template" "{$package}")
mv "$work/package.msi" "$out"
if [ ${#sign[@]} -gt 0 ]; then
  bash "$here/sign.sh" "${sign[@]}" "$out"
fi
