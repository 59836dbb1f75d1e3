#!/usr/bin/env bash
# Plays the same blocks and inputs through the x86-64 crumlet-play and another build's, and
# compares the outputs byte for byte.
#
#   tools/play/compare-builds.sh X86_BUILD OTHER_PLAY WORK_DIR [RUNNER...]
#
# X86_BUILD is the x86-64 build folder (its cli/crumlet writes the blocks, its bin/crumlet-play
# plays them); OTHER_PLAY is the other build's crumlet-play, run through RUNNER when given
# (qemu-aarch64 -L /usr/aarch64-linux-gnu, node). The blocks are the defaults' and shipped
# presets' (the effect's part of each: the block holds no transmission and no space).
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 X86_BUILD OTHER_PLAY WORK_DIR [RUNNER...]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
x86=$1 other=$2 work=$3
shift 3
runner=("$@")
rm -rf "$work" && mkdir -p "$work"
python3 "$here/make-test-inputs.py" "$work"

"$x86/cli/crumlet" bank --out "$work/defaults.bin"
banks=(defaults)
for preset in "Phone call" "Answering machine" "Megaphone" "Old record" "Broken toy" "Tinny earbuds"; do
  name=${preset// /-}
  "$x86/cli/crumlet" bank --preset "$preset" --out "$work/$name.bin"
  banks+=("$name")
done

compared=0 differing=0
for bank in "${banks[@]}"; do
  for input in speech-like mono-float; do
    for block in 512 37; do
      case=$bank-$input-$block
      "$x86/bin/crumlet-play" --bank "$work/$bank.bin" --in "$work/$input.wav" --out "$work/$case.x86.wav" --block "$block"
      "${runner[@]}" "$other" --bank "$work/$bank.bin" --in "$work/$input.wav" --out "$work/$case.other.wav" --block "$block"
      compared=$((compared + 1))
      if ! cmp -s "$work/$case.x86.wav" "$work/$case.other.wav"; then
        echo "compare-builds: $case differs: $(cmp "$work/$case.x86.wav" "$work/$case.other.wav" 2>&1 | head -1)"
        differing=$((differing + 1))
      fi
    done
  done
done
echo "compare-builds: $((compared - differing)) of $compared renders identical"
[ "$differing" -eq 0 ]
