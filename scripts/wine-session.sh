#!/usr/bin/env bash
# Prepares Wine for the tests and for running the programs, and tears it down again.
#   scripts/wine-session.sh start   creates the prefix once, starts an Xvfb display of
#                                    its own and a persistent wineserver
#   scripts/wine-session.sh start-two-monitors   the same on a display with two monitors
#   scripts/wine-session.sh stop    stops only what `start` started
#   scripts/wine-session.sh env     prints the variables for running wine by hand
# State lives in build/wine/. The Xvfb screen is QV_SCREEN_SIZE (1024x768 by default; a
# running one is kept, whatever its size). With QV_DISPLAY set (say :0), that display is used and no
# Xvfb is started. With QV_MONITORS=2 the display is an Xorg server with two monitors
# (scripts/two-monitor-display: a 1024x768 primary and an 800x600 secondary, placed by
# QV_MONITOR_PLACE, right by default), which Wine sees as two; it needs root. Plain Xvfb
# shows Wine one monitor whatever its options.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
state=${QV_WINE_STATE:-$top/build/wine}
prefix=$state/prefix
say() { printf '[wine] %s\n' "$*" >&2; }

wine_env() {
  export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko installers: the programs need neither.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  if [ -f "$state/display" ]; then DISPLAY=$(cat "$state/display"); export DISPLAY; fi
  # Wine names files in the locale's character set: without UTF-8 (a new Debian has no
  # locale set) a title such as "東京" or "Été à Paris" gets no file name at all.
  if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then export LC_ALL=C.UTF-8; fi
}

# The two-monitor server. Wine reads the layout when its server starts, so a wineserver
# left running from another display is ended first.
start_two_monitors() {
  if [ -f "$state/xorg.num" ] && [ -f "$state/display" ]; then
    say "two-monitor display already running on $(cat "$state/display")"
    return
  fi
  wine_env
  wineserver -k 2>/dev/null || true
  stop_display
  local n
  for n in $(seq 60 99); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  local display
  display=$(TWO_MONITOR_DIR="$state/xorg" bash "$top/scripts/two-monitor-display" "$n" \
    "${QV_PRIMARY_MODE:-1024x768}" "${QV_SECONDARY_MODE:-800x600}" "${QV_MONITOR_PLACE:-right}" \
    2>"$state/xorg.log") || { say "the two-monitor display did not start"; cat "$state/xorg.log" >&2; exit 1; }
  echo "$n" > "$state/xorg.num"
  echo "$display" > "$state/display"
  say "two-monitor display started on $display ($(grep -c '^ [0-9]:' "$state/xorg.log" || true) monitors)"
}

stop_display() {
  if [ -f "$state/xvfb.pid" ]; then
    local pid
    pid=$(cat "$state/xvfb.pid")
    if kill -0 "$pid" 2>/dev/null && grep -q Xvfb "/proc/$pid/cmdline" 2>/dev/null; then
      kill "$pid"
      say "Xvfb $pid stopped"
    fi
    rm -f "$state/xvfb.pid" "$state/display"
  fi
  if [ -f "$state/xorg.num" ]; then
    TWO_MONITOR_DIR="$state/xorg" bash "$top/scripts/two-monitor-display" --stop "$(cat "$state/xorg.num")" 2>/dev/null || true
    say "two-monitor display :$(cat "$state/xorg.num") stopped"
    rm -f "$state/xorg.num" "$state/display"
  fi
}

start_display() {
  if [ "${QV_MONITORS:-1}" = 2 ]; then
    start_two_monitors
    return
  fi
  if [ -f "$state/xorg.num" ]; then
    # One monitor asked for, two running: back to Xvfb, with a new wineserver.
    wine_env
    wineserver -k 2>/dev/null || true
    stop_display
  fi
  if [ -n "${QV_DISPLAY:-}" ]; then
    echo "$QV_DISPLAY" > "$state/display"
    say "using display $QV_DISPLAY"
    return
  fi
  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    say "Xvfb already running on $(cat "$state/display")"
    return
  fi
  # Xvfb picks a display that nobody uses, not even a server of another root (a chroot
  # shares the abstract sockets), and tells its number through a file descriptor.
  rm -f "$state/display.fd"
  Xvfb -displayfd 3 -screen 0 "${QV_SCREEN_SIZE:-1024x768}x24" -nolisten tcp 3>"$state/display.fd" \
    >"$state/xvfb.log" 2>&1 &
  echo $! > "$state/xvfb.pid"
  local n=""
  for _ in $(seq 100); do
    n=$(tr -dc '0-9' <"$state/display.fd" 2>/dev/null || true)
    [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ] || { say "Xvfb did not start"; cat "$state/xvfb.log" >&2; exit 1; }
  echo ":$n" > "$state/display"
  say "Xvfb started on :$n (pid $(cat "$state/xvfb.pid"))"
}

start() {
  mkdir -p "$state"
  start_display
  wine_env
  if [ ! -f "$prefix/.qv-ready" ]; then
    say "creating the prefix $prefix (once)"
    local rc=0
    /usr/lib/wine/wine64 wineboot -i >"$state/wineboot.log" 2>&1 || rc=$?
    wineserver -w
    # wineboot can report a failure of some optional part and still leave a usable prefix;
    # a prefix without its registry is not one.
    if [ ! -f "$prefix/system.reg" ] || [ ! -f "$prefix/user.reg" ]; then
      say "wineboot failed (exit $rc): no prefix in $prefix"
      cat "$state/wineboot.log" >&2
      exit 1
    fi
    [ "$rc" = 0 ] || say "wineboot exited $rc, but the prefix is complete ($state/wineboot.log)"
    touch "$prefix/.qv-ready"
  fi
  if [ ! -f "$prefix/.qv-fonts-linked" ]; then
    # Arial is not there; Liberation Sans has its metrics, so dialogs laid out for Arial fit.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial \
      /d 'Liberation Sans' /f >>"$state/wineboot.log" 2>&1 || true
    # Windows links its Latin faces to fonts of the other scripts, so that a title in Chinese
    # or Japanese draws with its glyphs; here the link is to the one CJK font set-up installs.
    local face
    for face in Arial 'Liberation Sans'; do
      /usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >>"$state/wineboot.log" 2>&1 || true
    done
    wineserver -w
    touch "$prefix/.qv-fonts-linked"
  fi
  wineserver -p 2>/dev/null || true
  # Wine's own services start with the first program and keep its output pipes open; they
  # are started here, detached, so that a test runner never waits for them.
  /usr/lib/wine/wine64 wineboot >>"$state/wineboot.log" 2>&1 </dev/null || true
  say "ready: WINEPREFIX=$prefix DISPLAY=$DISPLAY"
}

stop() {
  wine_env
  wineserver -k 2>/dev/null || true
  stop_display
}

case ${1:-} in
  start) start ;;
  start-two-monitors) QV_MONITORS=2 start ;;
  stop) stop ;;
  env) wine_env; printf 'export WINEPREFIX=%q WINEARCH=%q WINEDEBUG=%q WINEDLLOVERRIDES=%q DISPLAY=%q\n' \
         "$WINEPREFIX" "$WINEARCH" "$WINEDEBUG" "$WINEDLLOVERRIDES" "${DISPLAY:-}"
       [ -z "${LC_ALL:-}" ] || printf 'export LC_ALL=%q\n' "$LC_ALL" ;;
  *) echo "usage: $0 start|start-two-monitors|stop|env" >&2; exit 2 ;;
esac
