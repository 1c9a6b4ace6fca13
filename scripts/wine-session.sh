#!/usr/bin/env bash
# Prepares Wine for the tests and for running the programs, and tears it down again.
#   scripts/wine-session.sh start   creates the prefix once, starts an Xvfb display of
#                                    its own and a persistent wineserver
#   scripts/wine-session.sh stop    stops only what `start` started
#   scripts/wine-session.sh env     prints the variables for running wine by hand
# State lives in build/wine/. With QV_DISPLAY set (say :0), that display is used and no
# Xvfb is started.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
state=${QV_WINE_STATE:-$top/build/wine}
prefix=$state/prefix
say() { printf '[wine] %s\n' "$*" >&2; }

wine_env() {
  export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko installers: the programs need neither.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  # Where the tests leave their real input for scripts/input-relay.sh.
  export QV_INPUT_RELAY=$state/input
  if [ -f "$state/display" ]; then DISPLAY=$(cat "$state/display"); export DISPLAY; fi
}

start_display() {
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
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/display.fd" \
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

start_input_relay() {
  if [ -f "$state/relay.pid" ] && kill -0 "$(cat "$state/relay.pid")" 2>/dev/null; then
    return
  fi
  rm -rf "$QV_INPUT_RELAY" && mkdir -p "$QV_INPUT_RELAY"
  setsid bash "$top/scripts/input-relay.sh" "$QV_INPUT_RELAY" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/relay.pid"
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
  if [ ! -f "$prefix/.qv-fonts" ]; then
    # Arial is not there; Liberation Sans has its metrics, so dialogs laid out for Arial fit.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial \
      /d 'Liberation Sans' /f >>"$state/wineboot.log" 2>&1 || true
    wineserver -w
    touch "$prefix/.qv-fonts"
  fi
  wineserver -p 2>/dev/null || true
  # Wine's own services start with the first program and keep its output pipes open; they
  # are started here, detached, so that a test runner never waits for them.
  /usr/lib/wine/wine64 wineboot >>"$state/wineboot.log" 2>&1 </dev/null || true
  start_input_relay
  say "ready: WINEPREFIX=$prefix DISPLAY=$DISPLAY"
}

stop() {
  wine_env
  wineserver -k 2>/dev/null || true
  if [ -f "$state/relay.pid" ]; then
    touch "$QV_INPUT_RELAY/stop" 2>/dev/null || true
    kill "$(cat "$state/relay.pid")" 2>/dev/null || true
    rm -f "$state/relay.pid"
  fi
  if [ -f "$state/xvfb.pid" ]; then
    local pid
    pid=$(cat "$state/xvfb.pid")
    if kill -0 "$pid" 2>/dev/null && grep -q Xvfb "/proc/$pid/cmdline" 2>/dev/null; then
      kill "$pid"
      say "Xvfb $pid stopped"
    fi
    rm -f "$state/xvfb.pid" "$state/display"
  fi
}

case ${1:-} in
  start) start ;;
  stop) stop ;;
  env) wine_env; printf 'export WINEPREFIX=%q WINEARCH=%q WINEDEBUG=%q WINEDLLOVERRIDES=%q DISPLAY=%q QV_INPUT_RELAY=%q\n' \
         "$WINEPREFIX" "$WINEARCH" "$WINEDEBUG" "$WINEDLLOVERRIDES" "${DISPLAY:-}" "$QV_INPUT_RELAY" ;;
  *) echo "usage: $0 start|stop|env" >&2; exit 2 ;;
esac
