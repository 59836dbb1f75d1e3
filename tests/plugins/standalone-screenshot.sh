#!/usr/bin/env bash
# The standalone application opens on a display of its own (Xvfb) and writes a screenshot of
# its window: a PNG of the window's size.
set -euo pipefail
app=$1
out=$2
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"
rm -f "$out"
HOME=$(mktemp -d) timeout 60 "$app" --screenshot "$out"
# A PNG, and not an empty one.
[ "$(head -c 8 "$out" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ]
[ "$(stat -c %s "$out")" -gt 2000 ]
echo "standalone screenshot: $out ($(stat -c %s "$out") bytes)"
