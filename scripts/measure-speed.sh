#!/usr/bin/env bash
# Measures what the engine's speed is judged by, outside the benchmarks: `crumlet render`
# of 60 s of stereo 48 kHz float through a busy chain against sox running a chain of about
# as many filter sections on the same file (alternately, best of three each), the tool's
# peak memory, and a batch of 16 files of 10 s with --jobs 1 and --jobs 2. Then the
# dialogue batch (scripts/measure-dialogue.sh): its CPU time and times real time per core,
# the chain's cost per channel-sample, and where the batch's CPU goes.
#   scripts/measure-speed.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --measure
scripts/build.sh crumlet >/dev/null
rounds=${1:-3}
crumlet=build/cli/crumlet
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

busy=(--set FiltersHPFFreq=200 FiltersHPFSlope=1 FiltersLPFFreq=6000 FiltersLPFSlope=1
      DistortionMode=Fuzz DistortionAmount=60 DistortionIntensity=40 EQGain=6
      NoiseLevel=-40 NoiseThresh=-30 SIMType=1 GateThreshold=-60 GateRange=-40
      LoFiBitDepthType=8 LoFiDownSampleIndex=2 LoFiFilter=30 OutputGain=-3)
soxChain=(highpass 40 highpass 40 lowpass 18000 lowpass 18000 overdrive 10 equalizer 1000 1q 3 highpass 50
          equalizer 990 16q -3 equalizer 1100 16q 5 equalizer 2500 16q 1.5 lowpass 3000 highpass 20 lowpass 20000)

sox -n -r 48000 -c 2 -b 32 -e floating-point "$work/in.wav" synth 60 pinknoise vol 0.3
mkdir -p "$work/batch"
for i in $(seq -w 1 16); do
  sox -n -r 48000 -c 2 -b 32 -e floating-point "$work/batch/f$i.wav" synth 10 pinknoise vol 0.3
done

# Wall seconds and peak resident kilobytes of a command.
measure() { /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1; cat "$work/time"; }
best() { sort -n | head -1; }

: >"$work/crumlet.times"; : >"$work/sox.times"; : >"$work/jobs1"; : >"$work/jobs2"
for r in $(seq "$rounds"); do
  measure "$crumlet" render --in "$work/in.wav" --out "$work/out.wav" --format float "${busy[@]}" >>"$work/crumlet.times"
  rm -f "$work/out.wav"
  measure sox "$work/in.wav" -e floating-point "$work/sox.wav" "${soxChain[@]}" >>"$work/sox.times"
  rm -f "$work/sox.wav"
done
for r in $(seq "$rounds"); do
  for jobs in 1 2; do
    rm -rf "$work/out"
    measure "$crumlet" render --in "$work/batch" --out-dir "$work/out" --jobs "$jobs" "${busy[@]}" >>"$work/jobs$jobs"
  done
done

c=$(cut -d' ' -f1 "$work/crumlet.times" | best)
s=$(cut -d' ' -f1 "$work/sox.times" | best)
m=$(cut -d' ' -f2 "$work/crumlet.times" | sort -n | tail -1)
j1=$(cut -d' ' -f1 "$work/jobs1" | best)
j2=$(cut -d' ' -f1 "$work/jobs2" | best)
echo "render 60 s stereo: crumlet ${c} s, sox ${s} s, ratio $(echo "scale=3; $c / $s" | bc) (best of $rounds each, alternating)"
echo "crumlet render peak memory: ${m} KiB resident"
echo "batch 16 x 10 s: --jobs 1 ${j1} s, --jobs 2 ${j2} s, speed-up $(echo "scale=2; $j1 / $j2" | bc)"
echo "all times (s, KiB): crumlet $(cut -d' ' -f1 "$work/crumlet.times" | tr '\n' ' ')| sox $(cut -d' ' -f1 "$work/sox.times" | tr '\n' ' ')| jobs1 $(cut -d' ' -f1 "$work/jobs1" | tr '\n' ' ')| jobs2 $(cut -d' ' -f1 "$work/jobs2" | tr '\n' ' ')"
scripts/measure-dialogue.sh "$rounds"
