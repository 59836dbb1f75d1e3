#!/usr/bin/env bash
# Sets up, builds and renders the built-in demo through the effect to crumlet-demo.wav.
# Extra arguments go to `crumlet render` (for example --set SIMType="Modern Phone").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only the tool and the module it loads: a newcomer hears the demo within a minute or so.
scripts/build.sh crumlet
build/cli/crumlet render --out crumlet-demo.wav --force "$@"
