#!/usr/bin/env bash
# The main job: builds the installer, installs Quorvanes with it silently into a fresh Wine
# prefix, and runs the screen saver of that installation.
#   scripts/run.sh            the screen saver, as Windows starts it ("/s")
#   scripts/run.sh settings   the settings dialog ("/c") of that installation (made first
#                             when there is none)
# With a display (QV_DISPLAY, or DISPLAY) it shows there; without one it runs on its own
# Xvfb and writes screenshots to out/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh
mode=${1:-show}
case $mode in show | settings) ;; *) echo "usage: $0 [settings]" >&2; exit 2 ;; esac

say "installing what is missing"
bash scripts/setup.sh

preset=$(runnable_windows_preset)
say "building the installer ($preset)"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target installer
setup=build/$preset/bin/QuorvanesSetup.exe

[ -n "${DISPLAY:-}" ] && [ -z "${QV_DISPLAY:-}" ] && export QV_DISPLAY=$DISPLAY
# A prefix of its own, made anew for the show: the installation is a first one, as a new
# user's, whatever the tests left in theirs. The settings open on the installation there.
export QV_WINE_STATE=$top/build/wine-run
bash scripts/wine-session.sh stop 2>/dev/null || true
if [ "$mode" = show ]; then
  say "preparing a fresh Wine prefix ($QV_WINE_STATE)"
  rm -rf "$QV_WINE_STATE/prefix"
fi
bash scripts/wine-session.sh start
trap 'bash scripts/wine-session.sh stop' EXIT
eval "$(scripts/wine-session.sh env)"

# The folder the installation registered with the program removal (the 32-bit installer
# writes the 32-bit view, the 64-bit build's the 64-bit one).
registered_folder() {
  local view
  for view in 32 64; do
    /usr/lib/wine/wine64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvanes' \
      /v InstallLocation "/reg:$view" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p' || true
  done | head -n 1
}
folder=$(registered_folder)
if [ -z "$folder" ]; then
  say "installing silently: QuorvanesSetup.exe /S"
  scripts/wine-run "$setup" /S
  folder=$(registered_folder)
fi
[ -n "$folder" ] || { echo "the installation did not register itself" >&2; exit 1; }
installed=$(/usr/lib/wine/wine64 winepath -u "$folder" 2>/dev/null | tr -d '\r')
echo "installed in $folder"

mkdir -p out
if [ "$mode" = settings ]; then
  say "opening the settings dialog: Quorvanes.scr /c"
  scripts/wine-run "$installed/Quorvanes.scr" /c &
  dialog=$!
  if [ -n "${QV_DISPLAY:-}" ]; then
    wait "$dialog" || true
  else
    sleep "${QV_SHOT_AFTER:-6}"
    import -window root -display "$DISPLAY" out/settings.png
    echo "screenshot: out/settings.png"
    kill "$dialog" 2>/dev/null || true
  fi
  wineserver -k 2>/dev/null || true
  exit 0
fi

say "starting the tray program and the browser-link window, as the log-on does"
(cd "$installed/Tessels" && exec "$top/scripts/wine-run" "$installed/Tessels/QVTIcon.exe") &
scripts/wine-run "$installed/QVBrowserLink.exe" &
sleep 3
say "starting Quorvanes.scr /s (the next title of the rotation: the Tessel \"Harbour Lights\")"
scripts/wine-run "$installed/Quorvanes.scr" /s &
saver=$!
if [ -n "${QV_DISPLAY:-}" ]; then
  echo "a key or a click ends the show; a click on a link area opens the link"
  wait "$saver" || true
else
  sleep "${QV_SHOT_AFTER:-4}"
  import -window root -display "$DISPLAY" out/screen-saver.png
  sleep 9  # the second picture comes 8 seconds after the show's first second
  import -window root -display "$DISPLAY" out/screen-saver-2.png
  echo "screenshots: out/screen-saver.png, out/screen-saver-2.png (installed in $folder)"
  kill "$saver" 2>/dev/null || true
  # A show changes its picture between the two; a message box or an empty screen does not.
  changed=$(compare -metric AE out/screen-saver.png out/screen-saver-2.png null: 2>&1 || true)
fi
wineserver -k 2>/dev/null || true
if [ "${changed:-}" = 0 ]; then
  echo "the show did not come up: the two screenshots are the same (see out/)" >&2
  exit 1
fi
