#!/usr/bin/env bash
# The main job: the screen saver on a ready sample installation, under Wine.
# With a display (QV_DISPLAY, or DISPLAY) it shows there; without one it runs on its own
# Xvfb and writes screenshots to out/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh

say "installing what is missing"
bash scripts/setup.sh

preset=$(runnable_windows_preset)
say "building ($preset)"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

[ -n "${DISPLAY:-}" ] && [ -z "${QV_DISPLAY:-}" ] && export QV_DISPLAY=$DISPLAY
say "preparing Wine"
bash scripts/wine-session.sh start
trap 'bash scripts/wine-session.sh stop' EXIT
eval "$(scripts/wine-session.sh env)"

say "sample Tessels"
bash scripts/make-samples.sh

say "sample installation"
bash scripts/sample-install.sh "build/$preset/bin"

mkdir -p out
root='C:\Quorvanes'
say "starting the tray program and the browser-link window"
scripts/wine-run "$WINEPREFIX/drive_c/Quorvanes/QVTIcon.exe" &
scripts/wine-run "$WINEPREFIX/drive_c/Quorvanes/QVBrowserLink.exe" &
sleep 3
say "starting Quorvanes.scr /s (the next title of the rotation: the Tessel \"Harbour Lights\")"
scripts/wine-run "$WINEPREFIX/drive_c/Quorvanes/Quorvanes.scr" /s &
saver=$!
if [ -n "${QV_DISPLAY:-}" ]; then
  echo "a key or a click ends the show; a click on a link area opens the link"
  wait "$saver" || true
else
  sleep "${QV_SHOT_AFTER:-4}"
  import -window root -display "$DISPLAY" out/screen-saver.png
  sleep 9  # the second picture comes 8 seconds after the show's first second
  import -window root -display "$DISPLAY" out/screen-saver-2.png
  echo "screenshots: out/screen-saver.png, out/screen-saver-2.png (installed in $root)"
  kill "$saver" 2>/dev/null || true
  # A show changes its picture between the two; a message box or an empty screen does not.
  changed=$(compare -metric AE out/screen-saver.png out/screen-saver-2.png null: 2>&1 || true)
fi
wineserver -k 2>/dev/null || true
if [ "${changed:-}" = 0 ]; then
  echo "the show did not come up: the two screenshots are the same (see out/)" >&2
  exit 1
fi
