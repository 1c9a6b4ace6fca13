#!/usr/bin/env bash
# Installs everything the two builds and the tests need on a Debian 12 machine.
# Idempotent: packages already present are left alone. Needs root (or sudo).
set -euo pipefail

say() { printf '[setup] %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  build-essential cmake ninja-build pkg-config git
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  googletest libbenchmark-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs nasm dpkg-dev
  # PNG pictures for the Tessel maker: libpng natively; for the Windows builds libpng is
  # built from Debian's source (scripts/build-libpng-mingw.sh) against this static zlib.
  libpng-dev libz-mingw-w64-dev
  # The resampler (header-only, both builds) and the library the resize bench compares it with.
  libstb-dev libpixman-1-dev
  clang libclang-rt-14-dev clang-format
  wine wine32 wine64 xvfb xauth x11-utils
  imagemagick fonts-dejavu-core fonts-liberation fonts-wqy-microhei python3 nsis
  wixl msitools faketime osslsigncode openssl
  # The two-monitor test display (scripts/two-monitor-display) and real input.
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils xdotool
  # Without these a 32-bit program under Wine sees one monitor spanning both.
  libxrandr2:i386 libxinerama1:i386 libxcomposite1:i386 libxcursor1:i386 libxfixes3:i386
  libxi6:i386 libxrender1:i386 libxxf86vm1:i386
)

missing=()
need_i386=0
for p in "${packages[@]}"; do
  name=$p
  [ "$p" = wine32 ] && name=wine32:i386 && need_i386=1
  case $p in *:i386) need_i386=1 ;; esac
  if ! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  say "all packages present"
  exit 0
fi

if [ "$need_i386" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "enabling the i386 architecture (Wine runs 32-bit programs through wine32)"
  as_root dpkg --add-architecture i386
fi

# A mirror caught in a sync serves an index of the wrong size, sometimes for hours; apt-get
# update then fails for that one index and keeps the others.
update_indexes() {
  local try
  for try in 1 2 3; do
    as_root apt-get update -q && return 0
    [ "$try" = 3 ] || { say "apt-get update failed (try $try of 3); again in $((try * 20)) s"; sleep $((try * 20)); }
  done
  return 1
}

install=(apt-get install -y -q --no-install-recommends)
say "installing: ${missing[*]}"
if ! update_indexes; then
  # Most often the security suite's i386 index is the one missing: the amd64 and i386 halves
  # of a library must then come from the same suite, the release's own.
  say "some package indexes could not be fetched: installing from the release's own suite"
  install+=(-t "$(. /etc/os-release && echo "$VERSION_CODENAME")")
fi
as_root env DEBIAN_FRONTEND=noninteractive "${install[@]}" "${missing[@]}"
say "done"
