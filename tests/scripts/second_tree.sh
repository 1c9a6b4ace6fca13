# Sourced by the release tests (reproducible_build_test.sh, signing_test.sh): a second build
# of the deliverables, as another machine would make it, beside the `windows` preset's.
#
# The sources are copied (tracked and new files, as they stand, with their file times, so a
# later run rebuilds only what changed) to build/repro/elsewhere/quorvanes-source, a folder
# of another path and length, without .git; its build folder is out/w32 there. Its libjpeg
# and libpng are the ones build/deps already made, copied into the copy's own build/deps (the build then
# finds it built and does not make it again), and its sample Tessels are made afresh by its
# own scripts/make-samples.sh, with the tessel tool of this tree's native build (the tool
# does not ship; the Tessels it makes do). SOURCE_DATE_EPOCH is the commit's date, which is
# what the preset's build takes from git by itself.

second_top=$top/build/repro/elsewhere/quorvanes-source
second_build=$second_top/out/w32
# The deliverables: the programs, advert.dll and the installers (with SHA256SUMS).
deliverable_targets=(Quorvanes QVTIcon QVBrowserLink QVUserSetup advert installer)

second_tree_copy() {
  mkdir -p "$second_top"
  # Everything but the build folders is laid anew, so files removed here go there too.
  find "$second_top" -mindepth 1 -maxdepth 1 ! -name out ! -name build -exec rm -rf {} +
  (cd "$top" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
    tar --null -T - -cf -) | tar -xf - -C "$second_top"
  local arch
  local library
  for arch in i686; do
    for library in libjpeg-turbo:libjpeg libpng:libpng; do
      local deps=$top/build/deps/${library%%:*}-$arch
      [ -f "$deps/lib/${library#*:}.a" ] ||
        { echo "no ${library#*:} in $deps: build the windows preset first" >&2; return 1; }
      mkdir -p "$second_top/build/deps"
      rm -rf "$second_top/build/deps/${library%%:*}-$arch"
      cp -a "$deps" "$second_top/build/deps/"
    done
  done
  (cd "$top" && cmake --preset native >/dev/null && cmake --build --preset native --target tessel >/dev/null)
  mkdir -p "$second_top/build/native/bin"
  cp -p "$top/build/native/bin/tessel" "$second_top/build/native/bin/tessel"
}

# Configures (with the extra cmake arguments given) and builds the deliverables of the
# second tree; the build's output goes to $second_build/build.log.
second_tree_build() {
  mkdir -p "$(dirname "$second_build")"
  SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct) \
    cmake -S "$second_top" --preset windows -B "$second_build" "$@" >"$second_build.configure.log" 2>&1 ||
    { cat "$second_build.configure.log"; return 1; }
  SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct) \
    cmake --build "$second_build" --target "${deliverable_targets[@]}" >"$second_build.build.log" 2>&1 ||
    { tail -n 40 "$second_build.build.log"; return 1; }
}
