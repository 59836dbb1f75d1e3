// What a preset does to reference signals, measured as the presets are voiced against:
// how far it band-limits pink noise, how much it changes the loudness of pink noise and of
// speech, and the true peak it makes of a -6 dBFS sine sweep. Signals run in memory through
// the one effect run: the effect made from the parameter block as the host makes it, then
// what the run's settings put after it (the space the preset is heard in, its decay
// included).
#pragma once

#include "pipeline/EffectRun.h"
#include "space/SpaceSettings.h"

#include <cstdint>
#include <string>
#include <vector>

class ParameterSettings;

// Which band-limit a preset is voiced to: none, a telephone's (energy above 4 kHz) or a
// radio's (energy above 5 kHz), each against the 300 Hz to 3.4 kHz speech band.
enum class BandLimitKind
{
    None,
    Telephone,
    Radio,
};

struct BandLimit
{
    double passLowHz = 300.0, passHighHz = 3400.0;
    double stopFromHz = 4000.0;
};

BandLimit bandLimitOf(BandLimitKind kind);

// The kind each shipped preset is voiced to, by its name (None for any other name).
BandLimitKind bandLimitKindOf(const std::string& presetName);

// The voicing targets every shipped preset meets.
struct VoicingTargets
{
    double bandLimitDb = -30.0;       // energy above the stop edge against the pass band, at most
    double loudnessToleranceLu = 2.0; // loudness change of recorded voices, either way (see PresetVoicesTest)
    double speechPeakDbfs = -3.0;     // dialogue at about -23 LUFS
    double quietSpeechPeakDbfs = -7.0; // and at about -27 LUFS
    double sweepTruePeakDbtp = -1.0;  // true peak of the -6 dBFS sweep (and of the speech), below
};

// What a preset is measured through: the effect made from `settings`, then `space` (none when
// inactive). A preset's transmission is voiced with it on recorded voices, so it is left out.
pipeline::RunSettings presetRun(const ParameterSettings& settings, const space::SpaceSettings& space = {});
// The same for a shipped preset (by name) or a preset file, read as --preset reads it.
pipeline::RunSettings presetRun(const std::string& nameOrPath);

// The mono signal through `run`, the effect's tail and the steps' last frames included, not
// played on after them: the figures are the preset's, not the file renderer's.
std::vector<float> renderThroughEffect(const pipeline::RunSettings& run, const std::vector<float>& input,
                                       std::uint32_t sampleRate);
// What a preset's listener hears: its run with its transmission too (codec, loss and radio,
// drawn from `seed`), for a shipped preset by name or a preset file.
pipeline::RunSettings heardRun(const std::string& nameOrPath, std::uint64_t seed = 1);

// Through the effect made from `block` alone.
std::vector<float> renderThroughEffect(const std::vector<std::uint8_t>& block, const std::vector<float>& input,
                                       std::uint32_t sampleRate, std::uint32_t blockFrames = pipeline::kDefaultBlockFrames);

// Energy above `band.stopFromHz` (up to half the sample rate) against the energy in the pass
// band, in dB, from a Welch power spectrum (Hann windows of 4096 points, half overlapping).
double bandEnergyRatioDb(const std::vector<float>& signal, std::uint32_t sampleRate, const BandLimit& band);

// Integrated loudness (EBU R128) of a mono signal; -inf for silence.
double loudnessLufs(const std::vector<float>& signal, std::uint32_t sampleRate);

// True peak (dBTP) of a mono signal.
double truePeakDbtp(const std::vector<float>& signal, std::uint32_t sampleRate);

// What one reference signal becomes: its loudness change (output minus input) and the
// output's true peak.
struct SignalFigures
{
    double loudnessChangeLu = 0.0;
    double truePeakDbtp = 0.0;
};

// One signal through `run`.
SignalFigures measureSignal(const pipeline::RunSettings& run, const std::vector<float>& input, std::uint32_t sampleRate);

struct PresetFigures
{
    double bandLimitDb = 0.0; // for the preset's kind, or above 4 kHz for None
    SignalFigures pink, speech, quietSpeech, sweep;
};

// Measures `run` on `seconds` of each reference signal at `sampleRate`, the speech at the two
// levels of `targets`.
PresetFigures measurePreset(const pipeline::RunSettings& run, BandLimitKind kind, std::uint32_t sampleRate,
                            double seconds = 4.0, const VoicingTargets& targets = {});

// What each recorded voice becomes through `run`: its loudness change and true peak, in the
// order given; and the median of the changes.
struct VoiceFigures
{
    std::vector<SignalFigures> perVoice;
    double medianChangeLu = 0.0;
};
VoiceFigures measureVoices(const pipeline::RunSettings& run, const std::vector<std::vector<float>>& voices,
                           std::uint32_t sampleRate);

// The true peaks every shipped preset keeps at or below VoicingTargets::sweepTruePeakDbtp as
// heard (heardRun): of the -6 dBFS sine sweep and of the speech-like voice at -24 LUFS.
struct HeardPeaks
{
    double sweepDbtp = 0.0;
    double speechDbtp = 0.0;
};
constexpr double kHeardSpeechLufs = -24.0;
HeardPeaks heardPeaks(const pipeline::RunSettings& run, std::uint32_t sampleRate, double seconds = 4.0);

// What is heard between words: the RMS level (dBFS) of `run`'s output in the pauses of the
// speech-like voice, the whole brought to -23 LUFS first; -inf when the pauses are exact
// silence. A pause counts from 100 ms after the voice falls silent (the device's, the gate's
// and the codec's own decay left out) to 20 ms before it speaks again; `pauseSeconds` says
// how much was measured.
double pauseLevelDbfs(const pipeline::RunSettings& run, std::uint32_t sampleRate, double seconds = 8.0,
                      double* pauseSeconds = nullptr);

// The band-limit figure alone: pink noise through `run`.
double bandLimitDb(const pipeline::RunSettings& run, BandLimitKind kind, std::uint32_t sampleRate, double seconds = 4.0);
