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

tag=libjpeg-mingw
# shellcheck source=scripts/mingw-source-build.sh
. "$top/scripts/mingw-source-build.sh"

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
srcdir=$(source_tree libjpeg-turbo 'libjpeg-turbo-*')

build=$deps/build-libjpeg-turbo-$arch
rm -rf "$build"
mkdir -p "$build"
write_toolchain "$build/toolchain.cmake" "$arch" "$processor"
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
