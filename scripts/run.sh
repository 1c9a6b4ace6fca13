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

say "sample installation"
bash scripts/sample-install.sh "build/$preset/bin"

mkdir -p out
say "starting Quorvanes.scr /s"
scripts/wine-run "build/$preset/bin/Quorvanes.scr" /s &
saver=$!
if [ -n "${QV_DISPLAY:-}" ]; then
  wait "$saver" || true
else
  sleep "${QV_SHOT_AFTER:-4}"
  import -window root -display "$DISPLAY" out/screen-saver.png
  echo "screenshot: out/screen-saver.png"
  kill "$saver" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
fi
