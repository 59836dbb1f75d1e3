#!/usr/bin/env bash
# crumlet-play plays what `crumlet render --bank B --block N --format float` renders, sample
# for sample: the defaults' block and shipped presets' blocks, a stereo 16-bit and a mono float
# input, three buffer sizes.
#   play-matches-render.sh CRUMLET CRUMLET_PLAY WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../../.." && pwd)
crumlet=$1 play=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
python3 "$source_dir/tools/play/make-test-inputs.py" "$work"
"$crumlet" bank --out "$work/defaults.bin"
banks=(defaults)
for preset in "Phone call" "Megaphone" "Broken toy"; do
  name=${preset// /-}
  "$crumlet" bank --preset "$preset" --out "$work/$name.bin"
  banks+=("$name")
done
for bank in "${banks[@]}"; do
  for input in speech-like mono-float; do
    for block in 512 64 1000; do
      case=$bank-$input-$block
      "$crumlet" render --bank "$work/$bank.bin" --block "$block" --format float --in "$work/$input.wav" \
        --out "$work/$case.render.wav" >"$work/$case.log" 2>&1 || { cat "$work/$case.log"; exit 1; }
      "$play" --bank "$work/$bank.bin" --in "$work/$input.wav" --out "$work/$case.play.wav" --block "$block"
      python3 "$here/same-samples.py" "$work/$case.render.wav" "$work/$case.play.wav"
    done
  done
done
echo "play-matches-render: ${#banks[@]} blocks x 2 inputs x 3 buffer sizes identical"
