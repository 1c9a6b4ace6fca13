#!/usr/bin/env bash
# Builds a static libpng for one mingw-w64 target from Debian's own source package, against
# the target's static zlib (Debian's libz-mingw-w64-dev), and caches it in the build tree.
#   scripts/build-libpng-mingw.sh i686|x86_64 [DEPS_DIR]
# Prints the install prefix on its last line. Nothing is rebuilt when the stamp exists.
set -euo pipefail

arch=${1:?usage: build-libpng-mingw.sh i686|x86_64 [DEPS_DIR]}
top=$(cd "$(dirname "$0")/.." && pwd)
deps=${2:-$top/build/deps}
prefix=$deps/libpng-$arch
stamp=$prefix/.built-v1
tag=libpng-mingw
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

need cmake:cmake ninja:ninja-build "$arch-w64-mingw32-gcc-posix:gcc-mingw-w64-${arch/_/-}-posix"
zlib=/usr/$arch-w64-mingw32/lib/libz.a
[ -f "$zlib" ] || { say "missing: $zlib (package libz-mingw-w64-dev)"; exit 1; }
srcdir=$(source_tree libpng1.6 'libpng1.6-*')

build=$deps/build-libpng-$arch
rm -rf "$build"
mkdir -p "$build"
write_toolchain "$build/toolchain.cmake" "$arch" "$processor"
say "building for $arch in $build"
# The prebuilt configuration header, not one made with awk: the same on every machine.
cmake -S "$srcdir" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$build/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DPNG_SHARED=OFF \
  -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_FRAMEWORK=OFF \
  -DAWK=AWK-NOTFOUND -DZLIB_LIBRARY="$zlib" -DZLIB_INCLUDE_DIR="/usr/$arch-w64-mingw32/include" \
  >"$build/configure.log" 2>&1 || { tail -n 30 "$build/configure.log" >&2; exit 1; }
cmake --build "$build" --target png_static >"$build/build.log" 2>&1 ||
  { tail -n 30 "$build/build.log" >&2; exit 1; }
mkdir -p "$prefix/include" "$prefix/lib"
cp "$build/libpng16.a" "$prefix/lib/libpng.a"
"$arch-w64-mingw32-strip" --strip-unneeded "$prefix/lib/libpng.a"
cp "$srcdir/png.h" "$srcdir/pngconf.h" "$build/pnglibconf.h" "$prefix/include/"
touch "$stamp"
say "installed: $prefix"
echo "$prefix"
