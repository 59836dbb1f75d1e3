// The true peak of a signal: the greatest magnitude between samples as well as at them,
// found by oversampling four times (below 192 kHz; not at all above) with a 12-tap-per-phase
// interpolation filter, the method of ITU-R BS.1770. The four phases share one vector step,
// so 96 kHz gets four times too, where twice would do. libebur128 measures the same figure but
// at several times the cost of the whole effect, so a render measures it here.
#pragma once

#include <cstdint>
#include <vector>

class TruePeakMeter
{
public:
    TruePeakMeter(std::uint32_t channels, std::uint32_t sampleRate);

    void add(const float* interleaved, std::uint32_t frames);

    // The greatest magnitude seen, linear (1.0 is full scale); never below the sample peak.
    float peak() const { return m_peak; }

    static constexpr int kTapsPerPhase = 12;
    static constexpr int kMaxFactor = 4;

private:
    std::uint32_t m_channels;
    int m_factor; // oversampling factor
    // m_taps[k][p]: phase p's tap for the sample kTapsPerPhase - 1 - k places before the
    // newest; unused phases are zero. Phases side by side, so one step serves all four.
    float m_taps[kTapsPerPhase][kMaxFactor] = {};
    std::vector<float> m_history;  // per channel: the last kTapsPerPhase - 1 samples
    std::vector<float> m_scratch;  // one channel's history and block
    float m_peak = 0.f;
};
