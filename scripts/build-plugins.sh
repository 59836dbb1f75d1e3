#!/usr/bin/env bash
# Sets up and builds the DAW plugins: the LV2 bundle build/lv2/crumlet.lv2 (mono and stereo).
# Copy it to ~/.lv2 (or /usr/local/lib/lv2) for hosts to find it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh crumlet_lv2
echo "built build/lv2/crumlet.lv2: cp -r build/lv2/crumlet.lv2 ~/.lv2/"
