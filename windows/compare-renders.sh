#!/usr/bin/env bash
# Renders the built-in demo through the effect with the Linux tool and with the Windows tool
# (under wine64), at the defaults and with every shipped preset, and compares them: the
# parameter blocks byte for byte, the outputs sample for sample (crumlet.exe compare: identical,
# or within 1e-6 relative RMS). Fails on the first that differs further. The effect alone is
# compared: a preset's transmission (codecs, loss, radio) and space are the Linux tool's own stages.
#   windows/compare-renders.sh LINUX_CRUMLET WINDOWS_CRUMLET_EXE OUT_DIR
set -euo pipefail
linux=$1 windows=$2 out=$3
rm -rf "$out"
mkdir -p "$out"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)

compare() { # NAME SLUG [--preset NAME]
  local name=$1 slug=$2
  shift 2
  local presetFile=()
  if [ $# -gt 0 ]; then
    "$linux" presets "$name" --save "$out/$slug.json"
    python3 - "$out/$slug.json" <<'STRIP'
import json, sys
path = sys.argv[1]
with open(path) as f:
    preset = json.load(f)
preset.pop("transmission", None)
with open(path, "w") as f:
    json.dump(preset, f, indent=2)
STRIP
    presetFile=(--preset-file "$out/$slug.json")
  fi
  "$linux" bank "$@" --out "$out/$slug-linux.bank" >/dev/null
  "$wine" "$windows" bank "${presetFile[@]}" --out "$out/$slug-windows.bank"
  if ! cmp -s "$out/$slug-linux.bank" "$out/$slug-windows.bank"; then
    echo "compare-renders: $name: the parameter blocks differ" >&2
    cmp -l "$out/$slug-linux.bank" "$out/$slug-windows.bank" | head >&2
    return 1
  fi
  "$linux" render "$@" --codec none --loss off --radio off --space off --format float --out "$out/$slug-linux.raw" 2>/dev/null
  "$wine" "$windows" render "${presetFile[@]}" --out "$out/$slug-windows.f32" 2>/dev/null
  echo -n "$name: "
  "$wine" "$windows" compare "$out/$slug-windows.f32" "$out/$slug-linux.raw"
}

compare "the demo at the defaults" defaults
count=1
while IFS= read -r preset; do
  compare "$preset" "$(tr ' A-Z' '-a-z' <<<"$preset")" --preset "$preset"
  count=$((count + 1))
done < <("$linux" presets --json | sed -n 's/^  "\(.*\)": {$/\1/p')
echo "compare-renders: $count renders compared"
