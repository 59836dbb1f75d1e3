#!/usr/bin/env bash
# Builds the audition page (web/) into a folder any static file server serves:
#   scripts/build-web.sh [OUT_DIR]            (default build-web/)
# The page's data comes from the tool (build/cli/crumlet, built first when missing; CRUMLET
# names another): the shipped presets, the device models, the properties, the device
# pictures and the dry demo. The WebAssembly module (crumlet-web.wasm) is the engine side and
# web/wasm, compiled with Debian's emscripten.
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

# The WebAssembly module (web/wasm): the engine side alone, built by Debian's emscripten with
# the project's toolchain file in a folder of its own (CRUMLET_WEB_WASM_BUILD, default
# build-web-wasm/). Its exceptions are WebAssembly's own rather than the toolchain's, which
# need emscripten's JavaScript: the page and its worklet instantiate the module by itself.
wasm_build=$(realpath -m "${CRUMLET_WEB_WASM_BUILD:-$root/build-web-wasm}")
export CCACHE_BASEDIR="$root"
# emscripten's tools load Debian's JavaScript packages, which a Node.js from elsewhere does not
# look for by itself.
export NODE_PATH=/usr/share/nodejs
cmake -S "$root" -B "$wasm_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/wasm32-emscripten.cmake" -DCRUMLET_BUILD_TESTS=OFF \
  "-DCMAKE_CXX_FLAGS=-fwasm-exceptions -msimd128" "-DCMAKE_EXE_LINKER_FLAGS=-fwasm-exceptions" >/dev/null
cmake --build "$wasm_build" -j"$(nproc)" --target crumlet_web_page
cp "$wasm_build/web/wasm/crumlet-web.wasm" "$out/"
echo "build-web: the page is in $out (serve it: python3 -m http.server -d $out)"
