#!/usr/bin/env bash
# Builds the audition page (web/) into a folder any static file server serves:
#   scripts/build-web.sh [OUT_DIR]            (default build-web/)
# The page's data comes from the tool (build/cli/crumlet, built first when missing; CRUMLET
# names another): the shipped presets, the device models, the properties, the device
# pictures and the dry demo. The WebAssembly module (crumlet-web.wasm) is compiled with
# Debian's emscripten from the parameter table, the value codec and web/wasm.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$(realpath -m "${1:-build-web}")
crumlet=${CRUMLET:-$root/build/cli/crumlet}
if [ ! -x "$crumlet" ]; then
  scripts/build.sh crumlet
fi
command -v em++ >/dev/null || { echo "build-web: em++ (Debian's emscripten) is missing" >&2; exit 1; }

mkdir -p "$out/data"
cp web/site/* "$out/"

# The data the page reads, as the tool lists it.
"$crumlet" presets --json >"$out/data/presets.json"
"$crumlet" sims --json >"$out/data/devices.json"
"$crumlet" params --json >"$out/data/properties.json"
art=$(mktemp -d)
trap 'rm -rf "$art"' EXIT
"$crumlet" artwork --out "$art" >/dev/null
# One picture per device model, side by side: frame k is device k.
cp "$art/SIM_Strip_r1.png" "$out/data/devices.png"
# The built-in demo as it goes in: every stage off passes it through unchanged.
off=()
for stage in Filters Distortion EQ Noise SIM Gate LoFi; do off+=("${stage}Enable=off"); done
"$crumlet" render --out "$out/data/demo.wav" --force --set "${off[@]}" 2>/dev/null

# The WebAssembly module: standalone (no emscripten JavaScript), instantiated by the page and
# its audio worklet from the bytes.
exports=(crumlet_web_property_count crumlet_web_block_bytes crumlet_web_property_name
  crumlet_web_block_of crumlet_web_values_of malloc free)
sources=(web/wasm/WebSettings.cpp params/ParameterBlock.cpp params/ParameterTable.cpp
  params/ValueCodec.cpp platform/Variant.cpp)
em++ -std=c++17 -O2 -ffp-contract=off -Wall -Wextra -I"$root" -I"$root/hostapi" "${sources[@]}" \
  -o "$out/crumlet-web.wasm" --no-entry -sSTANDALONE_WASM -sINITIAL_MEMORY=16777216 \
  -sEXPORTED_FUNCTIONS="$(printf '_%s,' "${exports[@]}" | sed 's/,$//')"
echo "build-web: the page is in $out (serve it: python3 -m http.server -d $out)"
