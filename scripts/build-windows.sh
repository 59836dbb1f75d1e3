#!/usr/bin/env bash
# Cross-builds the Windows x86-64 module and the stand-in host with mingw-w64, and tests them
# under wine64:
#   build-windows/module/OrvexCrumlet.dll       the module (exports ZqCreatePlugin, g_pZQPluginList)
#   build-windows/bin/QuarlSoundEngine.dll      the stand-in sound engine
#   build-windows/bin/crumlet.exe               the tool's Windows form (render, bank, names, editor)
#   build-windows/crumlet-VERSION-windows-x64.zip   the three and the description, with a README
#
#   scripts/build-windows.sh            build, check the DLL's exports and imports, run the tests
#   scripts/build-windows.sh --no-test  build, check and pack only
#
# With the Linux tool built (build/cli/crumlet, scripts/build.sh), the tests end with the demo
# and every shipped preset rendered by both builds and compared sample for sample.
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache sees paths relative to the checkout: a clone in another folder reuses its entries.
export CCACHE_BASEDIR="$PWD"
scripts/setup.sh --windows
started=$SECONDS
stage() { echo "== build-windows: $1 (at $((SECONDS - started)) s)"; }

stage "zlib, libpng and libjpeg for mingw-w64"
scripts/windows-deps.sh build-windows-deps

stage "cross build"
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCRUMLET_BUILD_TESTS=ON -DCRUMLET_BUILD_BENCH=OFF >/dev/null
cmake --build build-windows -j"$(nproc)"

stage "the DLL's exports and imports"
windows/check-dll.sh build-windows/module/OrvexCrumlet.dll

stage "the zip that ships"
rm -f build-windows/crumlet-*-windows-x64.zip
(cd build-windows && cpack -G ZIP >/dev/null)
packaging/check-windows-zip.sh build-windows/crumlet-*-windows-x64.zip
[ "${1:-}" = "--no-test" ] && exit 0

stage "tests under wine64"
# The wine session runs on a display of its own, for the editor's tests (the other suites open
# no window).
linux=
[ -x build/cli/crumlet ] && linux=build/cli/crumlet
unset DISPLAY
windows/run-on-display.sh windows/run-tests.sh build-windows $linux
stage "done"
