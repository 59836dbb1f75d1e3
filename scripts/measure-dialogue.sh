#!/usr/bin/env bash
# The job dialogue editors run: 120 mono lines of 4 s at 48 kHz (real recorded speech)
# through "Phone call" to 16-bit at -23 LUFS. Prints the batch's CPU time (user + sys, the
# median of the rounds; the machine may be shared, so CPU rather than wall time) and times
# real time per core with --jobs 1 and --jobs 2; the chain's ns per channel-sample, mono and
# stereo (crumlet_bench); the loudness meter's ns per sample on a mono line, ours and libebur128's,
# integrated only (the gain's pass) and with the range (the report's pass) (crumlet_render_bench);
# and, where perf runs, the split of the batch's CPU by pipeline step.
#   scripts/measure-dialogue.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh crumlet crumlet_bench crumlet_render_bench >/dev/null
rounds=${1:-5}
crumlet=build/cli/crumlet
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

lines=120
seconds=4
speech=(/usr/share/pocketsphinx/test/data/librivox/*.wav)
sox "${speech[@]}" -r 48000 -b 16 "$work/speech.wav"
mkdir -p "$work/lines"
for i in $(seq 1 $lines); do
  ms=$(( (i * 173) % 20000 ))
  sox "$work/speech.wav" "$work/lines/line$(printf %03d "$i").wav" trim "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))" $seconds
done
batch=(render --in "$work/lines" --out-dir "$work/out" --preset "Phone call" --format pcm16 --loudness -23 -q --force)
audio=$((lines * seconds))

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
for jobs in 1 2; do
  : >"$work/cpu$jobs"
  for r in $(seq "$rounds"); do
    /usr/bin/time -f "%U %S" -o "$work/time" "$crumlet" "${batch[@]}" --jobs "$jobs" >/dev/null 2>&1
    awk '{print $1 + $2}' "$work/time" >>"$work/cpu$jobs"
  done
  cpu=$(median <"$work/cpu$jobs")
  echo "dialogue batch ($lines x $seconds s mono, Phone call, pcm16, -23 LUFS) --jobs $jobs: $cpu s CPU," \
       "$(echo "scale=0; $audio / $cpu" | bc)x real time per core (median of $rounds; all: $(tr '\n' ' ' <"$work/cpu$jobs"))"
done

# A median needs at least three repetitions.
build/bench/crumlet_bench --benchmark_filter='BM_ChainChannels/[12]/|BM_MonoStage' \
  --benchmark_repetitions=$((rounds < 3 ? 3 : rounds)) --benchmark_report_aggregates_only=true 2>/dev/null | awk '/_median/ {
    label = $0; sub(/.*ns_per_ch_sample=[^ ]* */, "", label)
    for (i = 1; i <= NF; ++i) if ($i ~ /^ns_per_ch_sample=/) { sub(/ns_per_ch_sample=/, "", $i); ns = $i }
    name = $1; sub(/_median/, "", name)
    if (name ~ /ChainChannels\/1\//) what = "mono chain"; else if (name ~ /ChainChannels\/2\//) what = "stereo chain"
    else what = "mono stage"
    printf "%s (%s, %s): %.1f ns per channel-sample\n", what, name, label, ns }'

build/bench/crumlet_render_bench --benchmark_filter='MonoLine' \
  --benchmark_repetitions=$((rounds < 3 ? 3 : rounds)) --benchmark_report_aggregates_only=true 2>/dev/null | awk '/_median/ {
    for (i = 1; i <= NF; ++i) if ($i ~ /^ns\/channel-sample=/) { sub(/ns\/channel-sample=/, "", $i); ns = $i }
    who = $1 ~ /Libebur128/ ? "libebur128" : "ours"
    what = $1 ~ /\/1_median/ ? "with the range" : "integrated only"
    printf "loudness meter (%s, mono line, %s): %.1f ns per sample\n", who, what, ns }'

# Where the CPU goes: each perf sample goes to the first step (in this order) that any frame
# of its call chain belongs to.
if ! perf record -q -F 1999 --call-graph dwarf,16384 -o "$work/perf.data" -- "$crumlet" "${batch[@]}" --jobs 1 \
     >/dev/null 2>&1; then
  echo "split by pipeline step: perf cannot record here"
  exit 0
fi
perf script -i "$work/perf.data" -F comm,ip,sym,dso 2>/dev/null | awk '
  function classify(chain) {
    if (chain ~ /PackedPcmOutput::|packLittleEndianPcm/) return "converting to the file format and writing"
    if (chain ~ /ebur128_init|ebur128_destroy|KWeightedLoudness::KWeightedLoudness|EffectInstance::create|silenceFloorRms|PartialFile|openInput|outputFormatFor|SndfileHandle::SndfileHandle|sf_open|sf_close|AudioWriter::close|AudioWriter::AudioWriter|LevelMeter::LevelMeter|PartialFile::commit/) return "per-file set-up and finishing (instances, meters, opening, closing, renaming)"
    if (chain ~ /ebur128_|KWeightedLoudness::/) return "integrated loudness and range (K-weighted meter, both passes)"
    if (chain ~ /TruePeakMeter::/) return "true peak"
    if (chain ~ /LevelMeter::add/) return "sample peak and checks"
    if (chain ~ /sf_readf|sf_read_|unpackLittleEndianPcm16/) return "reading and decoding the input"
    if (chain ~ /sf_writef|sf_write_|AudioWriter::write/) return "converting to the file format and writing"
    if (chain ~ /ParkedOutput::/) return "parking the output and applying the gain"
    if (chain ~ /libOrvexCrumlet/) return "the effect"
    return "other (the tool around them, threads, process start and exit)"
  }
  /^[^ \t]/ { if (chain != "") { ++steps[classify(chain)]; ++total } chain = ""; next }
  NF > 0 { chain = chain " " $0 }
  END {
    if (chain != "") { ++steps[classify(chain)]; ++total }
    if (total == 0) { print "split by pipeline step: no samples"; exit }
    print "split of the dialogue batch CPU (--jobs 1, " total " samples):"
    for (s in steps) printf "  %5.1f%%  %s\n", 100 * steps[s] / total, s
  }' | { read -r header && echo "$header"; sort -rn; }
