#!/usr/bin/env bash
# Builds a static libjpeg-turbo (with its SIMD code) for one mingw-w64 target from
# Debian's own source package, and caches it in the build tree.
#   scripts/build-libjpeg-mingw.sh i686|x86_64 [DEPS_DIR]
# Prints the install prefix on its last line. Nothing is rebuilt when the stamp exists.
set -euo pipefail

arch=${1:?usage: build-libjpeg-mingw.sh i686|x86_64 [DEPS_DIR]}
top=$(cd "$(dirname "$0")/.." && pwd)
deps=${2:-$top/build/deps}
prefix=$deps/libjpeg-turbo-$arch
# The stamp's name changes with what the cached build must be (v2: its objects name no
# build folder), so a cache made by an earlier version of this script is made again.
stamp=$prefix/.built-v2

say() { printf '[libjpeg-mingw] %s\n' "$*" >&2; }

# Each tool this script runs, with the Debian package that has it.
need() {
  local missing=() pair tool package
  for pair in "$@"; do
    tool=${pair%%:*} package=${pair#*:}
    command -v "$tool" >/dev/null || missing+=("$tool (package $package)")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "missing: ${missing[*]}"
  say "bash scripts/setup.sh installs them (or apt-get install the packages named)"
  exit 1
}

# Fetches Debian's libjpeg-turbo source package into $deps/src the way apt itself finds
# it: from deb-src entries derived from every enabled deb entry of this machine's sources,
# in either form. The entries, the package lists and apt's cache for this call live in a
# folder of their own that is removed afterwards, also on failure: the machine's apt
# configuration and lists are only read, so there is nothing to put back and no root needed.
fetch_source() {
  need apt-get:apt apt-config:apt dpkg-source:dpkg-dev
  local list parts
  eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
  work=$(mktemp -d)  # global: the EXIT trap reads it
  trap 'rm -rf "$work"' EXIT
  bash "$top/scripts/apt-deb-src.sh" "$work/sources" "$list" "$parts"
  mkdir -p "$work/lists/partial" "$work/cache" "$work/fetch"
  local apt=(apt-get -q -o Dir::Etc::SourceList="$work/sources/sources.list"
    -o Dir::Etc::SourceParts="$work/sources/sources.list.d"
    -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache")
  say "fetching Debian's libjpeg-turbo source package"
  "${apt[@]}" update >&2 ||
    say "apt-get update reported errors (above); trying the source package anyway"
  # Unpacked aside and moved in whole: a tree cut short by a failure is never cached.
  (cd "$work/fetch" && "${apt[@]}" source libjpeg-turbo >&2) || {
    say "apt-get source libjpeg-turbo failed (apt says why above); it needs the network and"
    say "a Debian mirror with source packages in $list or $parts (deb.debian.org has them)"
    exit 1
  }
  mv "$work"/fetch/libjpeg-turbo-*/ "$deps/src/"
  rm -rf "$work"
  trap - EXIT
}

if [ -f "$stamp" ]; then
  say "cached: $prefix"
  echo "$prefix"
  exit 0
fi

case $arch in
  i686) processor=i686 ;;
  x86_64) processor=AMD64 ;;
  *) say "unknown arch $arch"; exit 2 ;;
esac

need cmake:cmake ninja:ninja-build nasm:nasm "$arch-w64-mingw32-gcc-posix:gcc-mingw-w64-${arch/_/-}-posix" \
  "$arch-w64-mingw32-windres:binutils-mingw-w64-${arch/_/-}"
mkdir -p "$deps/src"
srcdir=$(find "$deps/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$srcdir" ]; then
  fetch_source
  srcdir=$(find "$deps/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
fi
[ -n "$srcdir" ] || { say "no source tree after apt-get source"; exit 1; }

build=$deps/build-libjpeg-turbo-$arch
rm -rf "$build"
mkdir -p "$build"
cat > "$build/toolchain.cmake" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $processor)
set(CMAKE_C_COMPILER $arch-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER $arch-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$arch-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TC
say "building for $arch in $build"
cmake -S "$srcdir" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$build/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF \
  -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
  -DCMAKE_ASM_NASM_COMPILER=nasm >"$build/configure.log" 2>&1 ||
  { tail -n 30 "$build/configure.log" >&2; exit 1; }
cmake --build "$build" --target jpeg-static >"$build/build.log" 2>&1 ||
  { tail -n 30 "$build/build.log" >&2; exit 1; }
mkdir -p "$prefix/include" "$prefix/lib"
cp "$build/libjpeg.a" "$prefix/lib/"
# NASM writes the absolute path of each SIMD source into its object's symbol table, from
# where it would reach the programs' .debug files and so the checksum in their debug links:
# the programs would differ between two machines (or folders). The library is a Release
# build without debug information; its local symbols go, its interface stays.
"$arch-w64-mingw32-strip" --strip-unneeded "$prefix/lib/libjpeg.a"
cp "$srcdir/jpeglib.h" "$srcdir/jmorecfg.h" "$srcdir/jerror.h" "$build/jconfig.h" "$prefix/include/"
touch "$stamp"
say "installed: $prefix"
echo "$prefix"
