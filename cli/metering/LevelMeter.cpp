#include "cli/metering/LevelMeter.h"

#include "cli/render/ServedAudio.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

namespace
{
constexpr double kAbsoluteGateLufs = -70.0;
constexpr std::uint64_t kLoudnessRangeBlockSeconds = 3;

double toDb(double linear)
{
    return linear > 0.0 ? 20.0 * std::log10(linear) : -HUGE_VAL;
}
} // namespace

LevelMeter::LevelMeter(std::uint32_t channels, std::uint32_t sampleRate, Measure measure)
    : m_channels(channels), m_sampleRate(sampleRate), m_measure(measure), m_truePeak(measure == Measure::Everything ? channels : 0, sampleRate),
      m_short(channels, sampleRate)
{
    // libebur128 sets itself up at a few hertz and then writes past its buffers.
    const std::string unserved = unservedReason(channels, sampleRate);
    if (!unserved.empty())
        throw std::invalid_argument("the loudness meter cannot measure " + unserved);
    m_state = ebur128_init(channels, sampleRate,
                           measure == Measure::Everything ? EBUR128_MODE_I | EBUR128_MODE_LRA : EBUR128_MODE_I);
    if (m_state == nullptr)
        throw std::bad_alloc();
    // Beyond stereo, no channel is a surround one: each counts fully.
    for (std::uint32_t c = 0; c < channels; ++c)
        ebur128_set_channel(m_state, c, EBUR128_LEFT);
}

LevelMeter::~LevelMeter()
{
    ebur128_destroy(&m_state);
}

void LevelMeter::add(const float* interleaved, std::uint32_t frames)
{
    const std::size_t n = static_cast<std::size_t>(frames) * m_channels;
    // x - x is 0 for every finite x and NaN otherwise.
    float check = 0.f;
    for (std::size_t i = 0; i < n; ++i)
        check += interleaved[i] - interleaved[i];
    if (check != 0.f)
    {
        m_finite.assign(interleaved, interleaved + n);
        for (float& x : m_finite)
            if (!std::isfinite(x))
            {
                x = 0.f;
                ++m_nonFinite;
            }
        interleaved = m_finite.data();
    }
    ebur128_add_frames_float(m_state, interleaved, frames);
    m_frames += frames;
    m_short.add(interleaved, frames);
    if (m_measure != Measure::Everything)
        return;
    float peak = m_peak;
    std::uint64_t clipped = 0;
    for (std::size_t i = 0; i < n; ++i)
    {
        const float a = std::fabs(interleaved[i]);
        peak = a > peak ? a : peak;
        clipped += a > 1.f ? 1 : 0;
    }
    m_peak = peak;
    m_clipped += clipped;
    m_truePeak.add(interleaved, frames);
}

Levels LevelMeter::levels() const
{
    Levels l;
    double loudness = -HUGE_VAL;
    if (ebur128_loudness_global(m_state, &loudness) == EBUR128_SUCCESS && std::isfinite(loudness))
    {
        l.loudnessLufs = loudness;
        l.loudnessBasis = LoudnessBasis::Integrated;
    }
    else if (m_short.heardSomething())
    {
        // The absolute gate holds for the ungated measure too: no gain is drawn from a hum.
        const double ungated = m_short.lufs();
        if (ungated > kAbsoluteGateLufs)
        {
            l.loudnessLufs = ungated;
            l.loudnessBasis = LoudnessBasis::Ungated;
        }
        else
        {
            l.loudnessBasis = LoudnessBasis::BelowGate;
        }
    }
    l.nonFiniteSamples = m_nonFinite;
    if (m_measure != Measure::Everything)
        return l;
    // The range is taken over 3 s short-term blocks: a shorter signal has none.
    double range = 0.0;
    if (m_frames >= kLoudnessRangeBlockSeconds * m_sampleRate &&
        ebur128_loudness_range(m_state, &range) == EBUR128_SUCCESS && std::isfinite(range))
        l.loudnessRangeLu = range;
    l.peakDbfs = toDb(m_peak);
    l.truePeakDbtp = toDb(std::max(m_truePeak.peak(), m_peak));
    l.clippedSamples = m_clipped;
    return l;
}
