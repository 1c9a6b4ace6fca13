#!/usr/bin/env bash
# The layer check must fail for an include that goes up or sideways, and name it. Each case
# is a copy of src/ with one stray include added, which the check must name (the test
# `layers` checks that the untouched tree passes).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() { bash "$top/scripts/check-layers.sh" "$1"; }


failed=0
# folder file | the include added to it | why it is stray
cases=(
  "config/paths.cpp|saver/host.h|logic reaching up into the saver"
  "saver/host.cpp|settings/options.h|one program's logic reaching sideways into the other's"
  "settings/win32/options_window.cpp|saver/picture_show.h|the settings window reaching into the saver"
  "saver/win32/host_views.cpp|settings/win32/options_window.h|the saver's views composing the settings window"
  "ui/win32/window.cpp|platform/win32/win32_platform.h|the kit depending on the adapters"
  "common/text.cpp|<windows.h> through platform/win32/win32_platform.h|the base reaching the adapters"
  "settings/win32/help_dialog.cpp|adbanner/win32/ad_image.h|a view including another view"
  "tray/win32/tray_window.cpp|settings/win32/controls.h|a view including another view"
  "saver/tessel.cpp|saver/win32/picture_window.h|the logic reaching its own view by its folder's name"
  "tools/browser_link/main.cpp|platform/win32/../memory/memory_platform.h|a path that climbs out of an allowed folder"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r file include why <<<"$entry"
  include=${include##* }  # the header itself
  tree="$work/case"
  rm -rf "$tree" && cp -r "$top/src" "$tree"
  printf '#include "%s"\n' "$include" >>"$tree/$file"
  if out=$(check "$tree" 2>&1); then
    echo "FAIL: $why ($file includes $include) passed the check"
    failed=1
  elif ! grep -qF "src/$file includes $include" <<<"$out"; then
    echo "FAIL: $why: the check did not name the include; it said:"
    echo "$out"
    failed=1
  fi
done

# A folder of sources without a rule would go unchecked: it fails too.
rm -rf "$work/case" && cp -r "$top/src" "$work/case"
mkdir -p "$work/case/newpart" && echo '#include "saver/host.h"' >"$work/case/newpart/a.cpp"
if check "$work/case" >"$work/out" 2>&1 || ! grep -qF "src/newpart has no rule" "$work/out"; then
  echo "FAIL: a folder without a rule passed the check, or was not named"
  failed=1
fi

[ "$failed" = 0 ] && echo "layer check: every stray include is refused"
exit "$failed"
