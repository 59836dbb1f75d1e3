#!/usr/bin/env bash
# Runs one libFuzzer harness for a number of seconds, at the lowest CPU priority:
#   scripts/fuzz.sh TARGET SECONDS
# TARGET is one of: parameter_block parameter_updates bank_file preset_file audio_file
# recipe_chunk meter_record output_names.
# Builds the harnesses with clang in build-fuzz/ first. The committed seeds in
# fuzz/corpus/TARGET stay as they are; what the run finds is kept in build-fuzz/corpus/TARGET,
# and a crashing input is written to build-fuzz/artifacts/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
if [ ! -d "fuzz/corpus/$target" ]; then
  echo "fuzz.sh: no target \"$target\" (targets: $(ls fuzz/corpus | tr '\n' ' '))" >&2
  exit 2
fi

if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCRUMLET_FUZZ=ON -DCRUMLET_BUILD_TESTS=OFF -DCRUMLET_BUILD_BENCH=OFF >/dev/null
fi
# Quiet when it builds; the compiler's messages when it does not.
if ! build_log=$(cmake --build build-fuzz --target "fuzz_$target" 2>&1); then
  echo "$build_log" >&2
  echo "fuzz.sh: fuzz_$target did not build" >&2
  exit 1
fi

work=build-fuzz/corpus/$target
artifacts=build-fuzz/artifacts/$target
mkdir -p "$work" "$artifacts"
export TMPDIR=${TMPDIR:-/tmp}
# UBSan findings stop the run like crashes do; leaks inside the libraries we call, listed
# in fuzz/lsan-suppressions.txt, do not.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan-suppressions.txt:print_suppressions=0
nice -n 19 "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
  -rss_limit_mb=2048 -timeout=20 -artifact_prefix="$artifacts/" "$work" "fuzz/corpus/$target"
