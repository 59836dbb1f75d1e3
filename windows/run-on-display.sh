#!/usr/bin/env bash
# Runs a command with a display of its own: an Xvfb server on a free display number,
# ended when the command ends.
#   windows/run-on-display.sh COMMAND ARGS...
set -euo pipefail
display=
for n in $(seq 120 199); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    display=$n
    break
  fi
done
[ -n "$display" ] || { echo "run-on-display: no free display" >&2; exit 1; }
Xvfb ":$display" -noreset -screen 0 1280x1024x24 >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.05
done
DISPLAY=":$display" "$@"
