#!/usr/bin/env bash
# The layers, checked in the includes: each folder of src/ may include only the folders
# below it (see docs/architecture.md). The build's libraries link the same way; this catches
# a header reached without a link. Prints each stray include; exit 1 when there is one.
set -euo pipefail
# The tree to check: src/ of this checkout, or another (the check's own test feeds it one).
cd "${1:-$(dirname "$0")/../src}"

# folder: what its files may include (besides their own folder and the system's headers):
# folders, each by its exact name, and single headers. A folder's subfolders are folders
# of their own, so a logic folder never admits its view (saver/win32) and a view never
# another view (settings/win32 and adbanner/win32). No exceptions: a rule shared by two
# layers goes into a layer below both.
rules=(
  "common:"
  "platform:"
  "base/win32:common/utf.h"
  "pe:common platform/ports.h"
  "imaging:"
  "config:common platform/ports.h platform/messages.h"
  "launch:common config platform/ports.h platform/messages.h"
  "desktop:common platform/ports.h"
  "password:platform/ports.h"
  "making:common desktop imaging pe platform/ports.h"
  "saver:common config launch desktop password imaging pe platform/ports.h platform/messages.h"
  "settings:common config launch desktop password imaging making pe platform/ports.h platform/messages.h"
  "tray:common config launch platform/ports.h platform/messages.h"
  "adbanner:common platform/ports.h"
  "platform/memory:common platform/ports.h"
  "platform/win32:platform/ports.h base/win32"
  "ui/win32:platform/ports.h base/win32"
  "making/win32:common imaging making base/win32 platform/ports.h"
  "saver/win32:common config saver ui/win32 base/win32 platform/ports.h platform/messages.h platform/win32"
  "settings/win32:common config desktop password imaging making making/win32 settings adbanner ui/win32 base/win32 platform/ports.h platform/messages.h platform/win32"
  "adbanner/win32:common adbanner ui/win32 base/win32 platform/ports.h platform/win32"
  "tray/win32:common config tray ui/win32 base/win32 platform/ports.h platform/win32"
  "saver/app:common config making making/win32 saver saver/win32 settings/win32 adbanner/win32 ui/win32 base/win32 platform/ports.h platform/messages.h platform/win32"
  "tray/app:common tray tray/win32 ui/win32 base/win32 platform/ports.h platform/win32"
  "tools/advert:adbanner/advert_abi.h desktop base/win32 platform/ports.h platform/win32 ui/win32/font.h ui/win32/mark.h"
  "tools/tessel:common config imaging making making/win32 pe saver base/win32 platform/ports.h platform/win32"
  "tools/browser_link:common config desktop ui/win32 base/win32 platform/ports.h platform/win32"
  "tools/user_setup:common config ui/win32 base/win32 platform/ports.h platform/win32"
)

stray=0
# A folder of sources without a rule would go unchecked.
while IFS= read -r folder; do
  printf '%s\n' "${rules[@]}" | grep "^$folder:" >/dev/null ||
    { echo "src/$folder has no rule in scripts/check-layers.sh"; stray=1; }
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%h\n' | sed 's|^\./||' | sort -u)

for rule in "${rules[@]}"; do
  folder=${rule%%:*}
  allowed="$folder ${rule#*:}"
  # Only this folder's own files, not those of a deeper rule's folder.
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${line#*:}")
    ok=0
    for a in $allowed; do
      # A header named in the rule, or one directly in a folder it names: "saver" admits
      # saver/host.h and never saver/win32/, so no folder reaches a view by its prefix.
      if [ "$target" = "$a" ] || [ "${target%/*}" = "$a" ]; then ok=1; fi
    done
    [ "$ok" = 1 ] || { echo "src/$file includes $target"; stray=1; }
  done < <(find "$folder" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
             xargs -0 -r grep -H -E '^#include "' || true)
done
if [ "$stray" = 1 ]; then
  echo "layers: includes across the layers (see docs/architecture.md)"
  exit 1
fi
echo "layers: every include follows the layers"
