#!/usr/bin/env bash
# Installs what Crumlet builds with (Debian 12, as root). Skips apt when all is present.
#   scripts/setup.sh                 what the build, the tests and the demo need
#   scripts/setup.sh --sanitizers    also clang and its runtimes, for fuzzing and the
#                                    sanitizer runs of scripts/ci-extra.sh
#   scripts/setup.sh --measure       also sox, /usr/bin/time, bc and perf, for scripts/measure-speed.sh
#   scripts/setup.sh --windows       also mingw-w64 and wine64, for scripts/build-windows.sh
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
  libsoxr-dev libgsm1-dev libopencore-amrnb-dev libopencore-amrwb-dev libvo-amrwbenc-dev
  libopus-dev libcodec2-dev libspandsp-dev libbcg729-dev
  # The spaces' partitioned convolution (over FFTW, listed above).
  libzita-convolver-dev
  # The Python module, its tests and the distributed example.
  pybind11-dev python3-dev python3-numpy python3-pytest python3-distributed
  # The wheel built from the source tree (pip install --no-build-isolation ., python3 -m build).
  python3-setuptools python3-wheel python3-build python3-venv
  # The codecs' own command-line tools (known answers) and real recorded speech for the voicing tests.
  sox libsox-fmt-all opus-tools pocketsphinx-testdata alsa-utils espeak-ng
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
