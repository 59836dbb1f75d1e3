#!/usr/bin/env bash
# Sets up, builds and runs the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
# Tests that need a display start their own Xvfb and point DISPLAY at it. The others get a
# display that never exists: JUCE falls back to ":0" without one, and ":0" may be another
# test's Xvfb, which goes away under it.
export DISPLAY=:65535
ctest --test-dir build --output-on-failure -j"$(nproc)"
