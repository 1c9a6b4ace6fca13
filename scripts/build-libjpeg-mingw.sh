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
stamp=$prefix/.built

say() { printf '[libjpeg-mingw] %s\n' "$*" >&2; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ -f "$stamp" ]; then
  say "cached: $prefix"
  echo "$prefix"
  exit 0
fi

mkdir -p "$deps/src"
srcdir=$(find "$deps/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$srcdir" ]; then
  # apt-get source needs deb-src entries; they are added for this call only.
  extra=/etc/apt/sources.list.d/quorvanes-deb-src.sources
  say "fetching Debian's libjpeg-turbo source package"
  as_root sh -c "sed -e 's/^Types: deb\$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > $extra"
  trap 'as_root rm -f "$extra"' EXIT
  as_root apt-get update -q >&2
  (cd "$deps/src" && apt-get source -q libjpeg-turbo >&2)
  as_root rm -f "$extra"
  trap - EXIT
  srcdir=$(find "$deps/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
fi
[ -n "$srcdir" ] || { say "no source tree after apt-get source"; exit 1; }

case $arch in
  i686) processor=i686 ;;
  x86_64) processor=AMD64 ;;
  *) say "unknown arch $arch"; exit 2 ;;
esac

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
cp "$srcdir/jpeglib.h" "$srcdir/jmorecfg.h" "$srcdir/jerror.h" "$build/jconfig.h" "$prefix/include/"
touch "$stamp"
say "installed: $prefix"
echo "$prefix"
