#!/usr/bin/env bash
# Cross-builds the engine side for Linux on ARM64 (aarch64) and tests it under qemu-aarch64:
#   build-arm64/bin/crumlet-play     a parameter block and a WAV file through the engine side
#   build-arm64/tests/crumlet_tests  the engine's suites, the chain's fingerprints included
#
#   scripts/build-arm64.sh            build, run the engine's tests, compare renders
#   scripts/build-arm64.sh --no-test  build only
#
# The fingerprints are the x86-64 build's own: every sample the same, bit for bit. With the
# x86-64 build's crumlet and crumlet-play (build/, scripts/build.sh), the run ends with shipped
# presets' blocks played by both crumlet-play builds and compared byte for byte
# (tools/play/compare-builds.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache sees paths relative to the checkout: a clone in another folder reuses its entries.
export CCACHE_BASEDIR="$PWD"
scripts/setup.sh --arm64
started=$SECONDS
stage() { echo "== build-arm64: $1 (at $((SECONDS - started)) s)"; }

stage "cross build"
cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCRUMLET_BUILD_TESTS=ON >/dev/null
cmake --build build-arm64 -j"$(nproc)"
[ "${1:-}" = "--no-test" ] && exit 0

stage "engine tests under qemu-aarch64"
ctest --test-dir build-arm64 --output-on-failure

if [ -x build/cli/crumlet ] && [ -x build/bin/crumlet-play ]; then
  stage "renders against the x86-64 build"
  tools/play/compare-builds.sh build build-arm64/bin/crumlet-play build-arm64/compare \
    qemu-aarch64 -L /usr/aarch64-linux-gnu
fi
stage "done"
