#!/usr/bin/env bash
# Builds the engine side for WebAssembly with Debian's emscripten and tests it under Node.js:
#   build-wasm/crumlet-play.js        crumlet-play (node build-wasm/crumlet-play.js --bank ...)
#   build-wasm/web/crumlet-engine.js      the audition page's module (web/README.md)
#   build-wasm/tests/crumlet_tests.js     the engine's suites, the chain's fingerprints included
#
#   scripts/build-wasm.sh            build, run the engine's tests, compare renders
#   scripts/build-wasm.sh --no-test  build only
#
# The fingerprints are the x86-64 build's own. With the x86-64 build's crumlet and crumlet-play
# (build/, scripts/build.sh), the run ends with shipped presets' blocks played by both
# crumlet-play builds and compared byte for byte (tools/play/compare-builds.sh), and the page's
# module playing three of them buffer by buffer as crumlet-play does (tests/web/engine-module.test.js).
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD"
scripts/setup.sh --wasm
# emscripten's tools load Debian's JavaScript packages (acorn), which a Node.js from elsewhere
# does not look for by itself.
export NODE_PATH=/usr/share/nodejs
started=$SECONDS
stage() { echo "== build-wasm: $1 (at $((SECONDS - started)) s)"; }

stage "build"
cmake -S . -B build-wasm -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-emscripten.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCRUMLET_BUILD_TESTS=ON >/dev/null
cmake --build build-wasm -j"$(nproc)"
[ "${1:-}" = "--no-test" ] && exit 0

stage "engine tests under Node.js"
ctest --test-dir build-wasm --output-on-failure

if [ -x build/cli/crumlet ] && [ -x build/bin/crumlet-play ]; then
  stage "renders against the x86-64 build"
  tools/play/compare-builds.sh build build-wasm/crumlet-play.js build-wasm/compare node
  stage "the page's module against crumlet-play"
  for run in "Phone-call mono-float" "Megaphone speech-like" "Broken-toy speech-like"; do
    set -- $run
    node tests/web/engine-module.test.js build-wasm/web/crumlet-engine.js build-wasm/compare/"$1".bin \
      build-wasm/compare/"$2".wav build-wasm/compare/"$1-$2"-512.x86.wav
  done
fi
stage "done"
