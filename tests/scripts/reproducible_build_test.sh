#!/usr/bin/env bash
# Reproducible output: the deliverables of the `windows` preset (Quorvanes.scr, QVTIcon.exe,
# QVBrowserLink.exe, QVUserSetup.exe, advert.dll, their .debug files, what the installers
# pack, both installers and SHA256SUMS) are built a second time from a copy of the sources at another
# path, in a build folder of another path (tests/scripts/second_tree.sh), and compared byte
# for byte with the preset's. Only the deliverable targets are built, both times, and both
# trees are kept, so a run after a change rebuilds only what changed.
# docs/building.md says what makes the bytes the same.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
. scripts/common.sh
. tests/scripts/second_tree.sh

bash scripts/setup.sh >/dev/null

say "reproducible output: the windows preset's deliverables"
cmake --preset windows >/dev/null
cmake --build --preset windows --target "${deliverable_targets[@]}"

say "reproducible output: the same again from $second_top"
second_tree_copy
second_tree_build -U QV_SIGN_PKCS12
if [ "$(grep -c 'unsigned build' "$second_build.build.log")" != 1 ]; then
  echo "FAIL: an unsigned build says so once (QV_SIGN_PKCS12 unset):"; grep -n 'sign' "$second_build.build.log" || true
  exit 1
fi

first=$top/build/windows
files=(bin/Quorvanes.scr bin/QVTIcon.exe bin/QVBrowserLink.exe bin/QVUserSetup.exe bin/advert.dll
  bin/Quorvanes.scr.debug bin/QVTIcon.exe.debug bin/QVBrowserLink.exe.debug
  bin/QVUserSetup.exe.debug bin/advert.dll.debug
  bin/QuorvanesSetup.exe installer/Uninstall.exe bin/SHA256SUMS)
[ -f "$first/bin/Quorvanes.msi" ] && files+=(bin/Quorvanes.msi)
while IFS= read -r staged; do files+=("installer/files/$staged"); done < \
  <(cd "$first/installer/files" && find . -type f | sed 's|^\./||' | sort)

passed=0 failed=0
for file in "${files[@]}"; do
  if [ ! -f "$second_build/$file" ]; then
    echo "FAIL: $file: not made by the second build"; failed=$((failed + 1))
  elif cmp -s "$first/$file" "$second_build/$file"; then
    echo "same: $file"; passed=$((passed + 1))
  else
    echo "FAIL: $file differs ($(cmp -l "$first/$file" "$second_build/$file" | wc -l) bytes; first: $(cmp "$first/$file" "$second_build/$file" | sed 's/.*: //'))"
    failed=$((failed + 1))
  fi
done
# The staged files keep SOURCE_DATE_EPOCH as their time, which the installers record.
epoch=$(git log -1 --format=%ct)
stale=$(find "$first/installer/files" "$second_build/installer/files" \
  \( -newermt "@$epoch" -o ! -newermt "@$((epoch - 1))" \) | head -n 1)
if [ -n "$stale" ]; then
  echo "FAIL: $stale: its time is not SOURCE_DATE_EPOCH ($epoch)"; failed=$((failed + 1))
else
  echo "same: every staged file's time is SOURCE_DATE_EPOCH"; passed=$((passed + 1))
fi
# No build path in what ships.
for tree in "$first" "$second_build"; do
  for file in bin/Quorvanes.scr bin/QVTIcon.exe bin/QVBrowserLink.exe bin/QVUserSetup.exe bin/advert.dll; do
    if grep -a -q -e "$top" -e "$second_top" "$tree/$file"; then
      echo "FAIL: $tree/$file names a build folder"; failed=$((failed + 1))
    else
      passed=$((passed + 1))
    fi
  done
done
echo "reproducible: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
