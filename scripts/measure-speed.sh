#!/usr/bin/env bash
# Measures what the engine's speed is judged by, outside the benchmarks: `crumlet render`
# of 60 s of stereo 48 kHz float through a busy chain against sox running a chain of about
# as many filter sections on the same file (alternately, best of three each), the tool's
# peak memory, a batch of 16 files of 10 s with --jobs 1 and --jobs 2, and the 200-line
# dialogue job: real speech and espeak-ng's voice at mixed rates, delivered through one look
# as 48 kHz pcm16 at -23 LUFS (resampling included) with --jobs 1 and --jobs 2, and the CPU
# time per second of audio for its lines already at 48 kHz. Then the dialogue batch
# (scripts/measure-dialogue.sh): its CPU time and times real time per core, the chain's cost
# per channel-sample, and where the batch's CPU goes.
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

# The dialogue job's lines: recorded voices (a woman reading, 16 kHz; several speakers, 16 kHz;
# one more voice, 48 kHz) and espeak-ng's, brought to mixed rates (half at 48 kHz, the rest at
# 44.1, 22.05 and 16 kHz), a tenth stereo, four under 0.2 s and one of five minutes.
speech=(/usr/share/pocketsphinx/test/data/librivox/*.wav /usr/share/pocketsphinx/test/data/cards/*.wav
        /usr/share/sounds/alsa/Front_Center.wav)
phrases=("Unit four, respond to the north gate." "Copy that, moving in now." "All channels, hold your positions."
         "Say again, you are breaking up." "Dispatch, we have a situation on the east dock.")
mkdir -p "$work/lines" "$work/lines48"
for i in $(seq 1 200); do
  n=$(printf %03d "$i")
  case $((i % 10)) in 0 | 1) rate=44100 ;; 2) rate=22050 ;; 3) rate=16000 ;; *) rate=48000 ;; esac
  channels=1
  if [ $((i % 10)) -eq 5 ]; then channels=2; fi
  if [ "$i" -eq 200 ]; then
    sox -V1 -G /usr/share/pocketsphinx/test/data/librivox/*.wav /usr/share/pocketsphinx/test/data/cards/*.wav \
      -r 48000 -c 1 "$work/long.wav" rate -v 48000
    sox -V1 -G "$work/long.wav" -c "$channels" "$work/lines/line$n.wav" repeat 12 trim 0 300
  elif [ $((i % 4)) -eq 0 ]; then
    voice=en+m3
    if [ $((i % 8)) -eq 0 ]; then voice=en+f4; fi
    espeak-ng -v "$voice" -s $((140 + i % 40)) -w "$work/espeak.wav" "${phrases[$((i % 5))]}"
    sox -V1 -G "$work/espeak.wav" -r "$rate" -c "$channels" "$work/lines/line$n.wav" rate -v "$rate"
  else
    sox -V1 -G "${speech[$((i % ${#speech[@]}))]}" -r "$rate" -c "$channels" "$work/lines/line$n.wav" rate -v "$rate"
  fi
  if [ "$i" -le 4 ]; then
    sox -V1 "$work/lines/line$n.wav" "$work/short.wav" trim 0.3 0.15
    mv "$work/short.wav" "$work/lines/line$n.wav"
  fi
  if [ "$rate" -eq 48000 ] && [ "$i" -ne 200 ]; then cp "$work/lines/line$n.wav" "$work/lines48/"; fi
done
lineSeconds=$(soxi -D "$work"/lines/*.wav | paste -sd+ | bc)
line48Seconds=$(soxi -D "$work"/lines48/*.wav | paste -sd+ | bc)
dialogue=(--preset "Police radio" --rate 48000 --format pcm16 --loudness -23 --name "{stem}_{preset}.wav" -q)

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

: >"$work/dialogue1"; : >"$work/dialogue2"; : >"$work/cpu48"
for r in $(seq "$rounds"); do
  for jobs in 1 2; do
    rm -rf "$work/out"
    measure "$crumlet" render --in "$work/lines" --out-dir "$work/out" --jobs "$jobs" "${dialogue[@]}" >>"$work/dialogue$jobs"
  done
  rm -rf "$work/out"
  /usr/bin/time -f "%U %S" -o "$work/time" "$crumlet" render --in "$work/lines48" --out-dir "$work/out" --jobs 1 \
    "${dialogue[@]}" >/dev/null 2>&1
  awk '{ print $1 + $2 }' "$work/time" >>"$work/cpu48"
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
d1=$(cut -d' ' -f1 "$work/dialogue1" | best)
d2=$(cut -d' ' -f1 "$work/dialogue2" | best)
cpu=$(best <"$work/cpu48")
echo "dialogue job, 200 lines ($(printf %.0f "$lineSeconds") s) to 48 kHz pcm16 at -23 LUFS: --jobs 1 ${d1} s ($(echo "scale=0; $lineSeconds / $d1" | bc) x real time), --jobs 2 ${d2} s ($(echo "scale=0; $lineSeconds / $d2" | bc) x real time)"
echo "CPU per second of 48 kHz audio (the job's 48 kHz lines, $(printf %.0f "$line48Seconds") s, --jobs 1): $(echo "scale=2; $cpu * 1000 / $line48Seconds" | bc) ms"
scripts/measure-dialogue.sh "$rounds"
