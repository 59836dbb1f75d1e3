#!/usr/bin/env bash
# Installs what Crumlet builds with (Debian 12, as root). Skips apt when all is present.
#   scripts/setup.sh                 what the build, the tests and the demo need
#   scripts/setup.sh --sanitizers    also clang and its runtimes, for fuzzing and the
#                                    sanitizer runs of scripts/ci-extra.sh
#   scripts/setup.sh --measure       also sox, /usr/bin/time, bc and perf, for scripts/measure-speed.sh
#   scripts/setup.sh --windows       also mingw-w64 and wine64, for scripts/build-windows.sh
#   scripts/setup.sh --arm64         also the aarch64 cross compiler and qemu, for scripts/build-arm64.sh
#   scripts/setup.sh --wasm          also emscripten and Node.js, for scripts/build-wasm.sh
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libsndfile1-dev libebur128-dev libfftw3-dev libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  juce-modules-source zlib1g-dev
  lv2-dev lilv-utils lv2file
  # JUCE's GUI modules (editor, artwork) and the fonts and display the artwork and GUI tests use.
  libx11-dev libxext-dev libxinerama-dev libxrandr-dev libxcursor-dev
  libfreetype-dev libfontconfig-dev libpng-dev libjpeg-dev fonts-liberation xvfb
  # Audio out (ALSA) for the editor's live playback and the standalone application; both run
  # silently where there is no device.
  libasound2-dev
  # A locale with a decimal comma: the tests check that typed numbers read the same in it.
  locales
  # Resampling to a delivery rate, and the speech codecs of the transmission stage.
  libsoxr-dev libxxhash-dev libgsm1-dev libopencore-amrnb-dev libopencore-amrwb-dev libvo-amrwbenc-dev
  libopus-dev libcodec2-dev libspandsp-dev libbcg729-dev
  # The spaces' partitioned convolution (over FFTW, listed above).
  libzita-convolver-dev
  # The Python module, its tests and its examples (Dask's distributed, a PyTorch DataLoader).
  pybind11-dev python3-dev python3-numpy python3-pytest python3-distributed python3-torch
  # The wheel built from the source tree (pip install --no-build-isolation ., python3 -m build).
  python3-setuptools python3-wheel python3-build python3-venv
  # The codecs' own command-line tools (known answers) and real recorded speech for the voicing tests.
  sox libsox-fmt-all opus-tools pocketsphinx-testdata alsa-utils espeak-ng
  # The Debian package: its manual page, its dependencies (dpkg-shlibdeps, file), its checks.
  help2man dpkg-dev file lintian man-db
  # The audition page (web/): its WebAssembly module, and the browser and node that its test
  # drives it with.
  emscripten chromium nodejs
)
if [ "${1:-}" = "--sanitizers" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
if [ "${1:-}" = "--measure" ]; then
  packages+=(sox time bc linux-perf)
fi
if [ "${1:-}" = "--windows" ]; then
  # The cross compiler (posix threads), its binutils and Windows headers; wine64 to run the
  # result; dpkg-dev for the library sources scripts/windows-deps.sh builds.
  packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    wine64 dpkg-dev)
fi

if [ "${1:-}" = "--arm64" ]; then
  # The cross compiler with the target's C and C++ libraries; qemu-user runs the programs.
  packages+=(g++-aarch64-linux-gnu qemu-user)
fi
if [ "${1:-}" = "--wasm" ]; then
  packages+=(emscripten nodejs)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "setup: generating the de_DE.UTF-8 locale"
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
# npm comes with some builds of nodejs and is a package of its own in Debian's.
if ! command -v npm >/dev/null; then
  echo "setup: installing npm"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends npm >/dev/null
fi
# The page's browser test drives chromium through puppeteer-core (web/test, no browser download).
web_test="$(dirname "$0")/../web/test"
if ! cmp -s "$web_test/package-lock.json" "$web_test/node_modules/.installed-lock.json"; then
  echo "setup: installing the page test's node modules"
  PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix "$web_test" --no-audit --no-fund --loglevel=error >/dev/null
  cp "$web_test/package-lock.json" "$web_test/node_modules/.installed-lock.json"
fi
