// What a render reports of a signal: integrated loudness (EBU R128, measured as libebur128
// measures it, see KWeightedLoudness) and its loudness range, sample peak, true peak and, for integer outputs, the samples beyond full
// scale. A signal shorter than one gating block is measured ungated (ShortLineLoudness).
#pragma once

#include "cli/metering/KWeightedLoudness.h"
#include "cli/metering/ShortLineLoudness.h"
#include "cli/metering/TruePeakMeter.h"

#include <cmath>
#include <cstdint>
#include <vector>

// How `Levels::loudnessLufs` was measured.
enum class LoudnessBasis
{
    Integrated, // EBU R128 integrated loudness, gated
    Ungated,    // shorter than a 400 ms gating block: K-weighted mean square over the whole signal
    BelowGate,  // sound, but every block under the -70 LUFS absolute gate: no figure
    Silent,     // every sample zero
};

struct Levels
{
    double loudnessLufs = -HUGE_VAL; // -inf: silent, or under the absolute gate (see basis)
    LoudnessBasis loudnessBasis = LoudnessBasis::Silent;
    double loudnessRangeLu = std::nan(""); // EBU R128 LRA (Measure::Everything); NaN under 3 s, too short to tell
    double peakDbfs = -HUGE_VAL;
    double truePeakDbtp = -HUGE_VAL;
    std::uint64_t clippedSamples = 0; // |x| > 1
    std::uint64_t nonFiniteSamples = 0; // NaN and Inf, measured as silence
};

class LevelMeter
{
public:
    enum class Measure
    {
        Loudness,   // integrated loudness only
        Everything, // loudness and its range, peaks and clipping
    };

    // Takes the rates the tool serves (pipeline/ServedAudio.h); throws std::invalid_argument for
    // any other rate or channel count.
    LevelMeter(std::uint32_t channels, std::uint32_t sampleRate, Measure measure);
    LevelMeter(const LevelMeter&) = delete;
    LevelMeter& operator=(const LevelMeter&) = delete;

    // Samples that are not numbers (NaN, Inf) are measured as silence, as the effect takes
    // them, and counted: one would make the loudness NaN, as if the signal were silent.
    void add(const float* interleaved, std::uint32_t frames);

    Levels levels() const;

private:
    std::uint32_t m_channels;
    std::uint32_t m_sampleRate;
    Measure m_measure;
    std::uint64_t m_frames = 0;
    KWeightedLoudness m_loudness;
    TruePeakMeter m_truePeak;
    ShortLineLoudness m_short;
    float m_peak = 0.f;
    std::uint64_t m_clipped = 0;
    std::uint64_t m_nonFinite = 0;
    std::vector<float> m_finite; // a block's samples with the non-finite ones silenced
};
