#!/usr/bin/env bash
# Runs the Windows test suites of a build folder under wine64, then (given the Linux tool)
# compares the two builds' renders, all on the display this is given (run it through
# windows/run-on-display.sh): wine's desktop process, through which every program's windows
# go, keeps the display it started with.
#   windows/run-tests.sh BUILD_WINDOWS_DIR [LINUX_CRUMLET]
set -euo pipefail
build=$(realpath "$1")
linux=${2:-}
export PATH="/usr/lib/wine:$PATH"
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's server and services keep whatever output they inherit open (a test's pipe would
# never close), so they start here, detached, before any test; the prefix is made once per
# build folder (it costs seconds and hundreds of megabytes).
setsid wineserver -p </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
init=()
[ -d "$WINEPREFIX/drive_c/windows" ] || init=(-i)
setsid wine64 wineboot "${init[@]}" </dev/null >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
if [ -n "$linux" ]; then
  echo "== the Windows build renders as the Linux build"
  "$(dirname "$0")/compare-renders.sh" "$linux" "$build/bin/crumlet.exe" "$build/renders"
fi
