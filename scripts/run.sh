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

# Without a display: waits, with generous bounds, for what the show puts on the screen, and
# fails unless it is a show: its window (a viewable X window of the screen's size named
# "Quorvanes", as Wine names the X windows after their titles) comes up with a picture, the
# picture changes, and at the second screenshot the same window is still up, the program is
# still running, no box of it is on the screen, and the screen holds a picture (not black,
# many colours), not a message box.
screen_size() { xwininfo -root | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'; }
# The viewable X windows named "Quorvanes": "ID WIDTHxHEIGHT" each.
quorvanes_windows() {
  local id geometry
  xwininfo -root -tree 2>/dev/null | awk '$2 == "\"Quorvanes\":" {print $1}' | while read -r id; do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
    geometry=$(xwininfo -id "$id" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
    echo "$id $geometry"
  done
}
# Mean brightness (0 to 1) and number of colours of a screenshot.
looks() { identify -format '%[fx:mean] %k' "$1"; }
is_picture() {  # file
  read -r mean colours < <(looks "$1")
  python3 -c "import sys; sys.exit(0 if $mean > 0.03 and $colours > 500 else 1)"
}
wait_for() {  # seconds, command...: polls once a second; false when the time is up
  local limit=$1
  shift
  for _ in $(seq "$limit"); do
    "$@" && return 0
    sleep 1
  done
  "$@"
}
fail() {
  echo "the show did not come up as a show: $* (see out/)" >&2
  kill "$saver" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  exit 1
}
show_window_up() {
  show=$(quorvanes_windows | awk -v size="$(screen_size)" '$2 == size {print $1; exit}')
  [ -n "$show" ]
}
shot() { import -window root "$1"; }
first_picture() { shot out/screen-saver.png && is_picture out/screen-saver.png; }
picture_changed() {
  shot out/screen-saver-2.png &&
    [ "$(compare -metric AE out/screen-saver.png out/screen-saver-2.png null: 2>&1 || true)" != 0 ]
}
check_show() {  # the saver's process
  wait_for 60 show_window_up || fail "no window of the screen's size in 60 s"
  wait_for 30 first_picture || fail "no picture on the screen in 30 s"
  # The second picture comes 8 seconds after the show's first second.
  wait_for 40 picture_changed || fail "the picture did not change in 40 s"
  kill -0 "$1" 2>/dev/null || fail "the program ended"
  quorvanes_windows | grep -q "^$show " || fail "its window went"
  local others
  others=$(quorvanes_windows | grep -v "^$show " || true)
  [ -z "$others" ] || fail "another window of it is up (a message box?): $others"
  is_picture out/screen-saver-2.png || fail "the second screenshot is no picture ($(looks out/screen-saver-2.png))"
  echo "screenshots: out/screen-saver.png, out/screen-saver-2.png (installed in $folder)"
  echo "the show is up with its window and a picture, and its picture changed"
  kill "$1" 2>/dev/null || true
}

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
  check_show "$saver"
fi
wineserver -k 2>/dev/null || true
