#!/usr/bin/env bash
# Gives the Wine tests real X input: Wine runs no Unix program, so a test leaves its
# xdotool arguments in DIR/N.req and this relay, started with the Wine session, runs
# xdotool with them on the session's display and answers with its exit code in DIR/N.done.
# Only xdotool runs, its arguments split at blanks and limited to plain words (no shell).
#   scripts/input-relay.sh DIR     (ends when DIR/stop appears or DIR goes)
set -uo pipefail
dir=${1:?usage: input-relay.sh DIR}
while [ -d "$dir" ] && [ ! -e "$dir/stop" ]; do
  for request in "$dir"/*.req; do
    [ -e "$request" ] || continue
    read -r -a args <"$request" || true
    rc=2
    ok=1
    for word in "${args[@]}"; do
      [[ $word =~ ^[A-Za-z0-9_+.:-]+$ ]] || ok=0
    done
    if [ "$ok" = 1 ] && [ "${#args[@]}" -gt 0 ]; then
      timeout 20 xdotool "${args[@]}" >/dev/null 2>&1
      rc=$?
    fi
    echo "$rc" >"${request%.req}.tmp" && mv "${request%.req}.tmp" "${request%.req}.done"
    rm -f "$request"
  done
  sleep 0.05
done
