# Sourced by the scripts that build a library for a mingw-w64 target from Debian's own
# source package (build-libjpeg-mingw.sh, build-libpng-mingw.sh). The caller sets `top`,
# `deps` and `tag` (the prefix of its messages) first.

say() { printf '[%s] %s\n' "$tag" "$*" >&2; }

# Each tool the caller runs, with the Debian package that has it.
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

# Fetches a Debian source package into $deps/src the way apt itself finds it: from deb-src
# entries derived from every enabled deb entry of this machine's sources, in either form.
# The entries, the package lists and apt's cache for this call live in a folder of their
# own that is removed afterwards, also on failure: the machine's apt configuration and
# lists are only read, so there is nothing to put back and no root needed.
#   fetch_source PACKAGE TREE_GLOB
fetch_source() {
  local package=$1 tree=$2
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
  say "fetching Debian's $package source package"
  "${apt[@]}" update >&2 ||
    say "apt-get update reported errors (above); trying the source package anyway"
  # Unpacked aside and moved in whole: a tree cut short by a failure is never cached.
  # The security suite's newest source is sometimes missing from a mirror while its index
  # names it; the release's own suite then serves.
  local release
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  (cd "$work/fetch" && "${apt[@]}" source "$package" >&2) ||
    { [ -n "$release" ] && rm -rf "$work"/fetch/* &&
      say "trying $package from the $release suite" &&
      (cd "$work/fetch" && "${apt[@]}" source "$package/$release" >&2); } || {
    say "apt-get source $package failed (apt says why above); it needs the network and"
    say "a Debian mirror with source packages in $list or $parts (deb.debian.org has them)"
    exit 1
  }
  mv "$work"/fetch/$tree/ "$deps/src/"
  rm -rf "$work"
  trap - EXIT
}

# The source tree of a package in $deps/src, fetched when it is not there yet.
#   source_tree PACKAGE TREE_GLOB
source_tree() {
  mkdir -p "$deps/src"
  local found
  found=$(find "$deps/src" -maxdepth 1 -type d -name "$2" | head -n 1)
  if [ -z "$found" ]; then
    fetch_source "$1" "$2"
    found=$(find "$deps/src" -maxdepth 1 -type d -name "$2" | head -n 1)
  fi
  [ -n "$found" ] || { say "no source tree after apt-get source $1"; exit 1; }
  echo "$found"
}

# A CMake toolchain file for the target, with the target's own root for libraries.
#   write_toolchain FILE ARCH PROCESSOR
write_toolchain() {
  cat > "$1" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $3)
set(CMAKE_C_COMPILER $2-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER $2-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$2-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TC
}
