#!/usr/bin/env bash
# The standalone application opens on a display of its own (Xvfb) and writes a screenshot of
# its window: a PNG of the product's editor, 749 pixels wide and 565 high, under the 30-pixel
# bar that says the input is muted when the machine has an input.
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
size=$(od -An -tu1 -j16 -N8 "$out" | awk '{ print ($3 * 256 + $4) "x" ($7 * 256 + $8) }')
case $size in
  749x565 | 749x595) ;;
  *) echo "standalone screenshot is $size, not the editor's 749x565" >&2; exit 1 ;;
esac
echo "standalone screenshot: $out ($size, $(stat -c %s "$out") bytes)"
