#!/usr/bin/env bash
# Configures and builds Crumlet (Release) in build/: everything, or only the given targets
# and what they need (scripts/build.sh crumlet).
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache sees paths relative to the checkout: a clone in another folder reuses its entries.
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
