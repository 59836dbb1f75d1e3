#include "cli/metering/LevelMeter.h"

#include "pipeline/ServedAudio.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{
constexpr double kAbsoluteGateLufs = -70.0;
constexpr std::uint64_t kLoudnessRangeBlockSeconds = 3;

double toDb(double linear)
{
    return linear > 0.0 ? 20.0 * std::log10(linear) : -HUGE_VAL;
}

// True when any sample is NaN or infinite: x - x is 0 for every finite x and NaN otherwise.
// Several sums side by side, so that one addition need not wait for the last.
bool anyNonFinite(const float* x, std::size_t n)
{
    std::size_t i = 0;
    float check = 0.f;
#if defined(__SSE2__)
    __m128 a = _mm_setzero_ps(), b = _mm_setzero_ps();
    for (; i + 8 <= n; i += 8)
    {
        const __m128 u = _mm_loadu_ps(x + i), v = _mm_loadu_ps(x + i + 4);
        a = _mm_add_ps(a, _mm_sub_ps(u, u));
        b = _mm_add_ps(b, _mm_sub_ps(v, v));
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, _mm_add_ps(a, b));
    check = lanes[0] + lanes[1] + lanes[2] + lanes[3];
#endif
    for (; i < n; ++i)
        check += x[i] - x[i];
    return check != 0.f;
}

// The largest magnitude of finite samples, at least `peak`, and how many exceed 1.
float peakAndBeyondFullScale(const float* x, std::size_t n, float peak, std::uint64_t& beyond)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 one = _mm_set1_ps(1.f);
    __m128 highest = _mm_set1_ps(peak);
    // Counted per lane in stretches short enough that a lane's count cannot wrap.
    for (std::size_t stretch = std::size_t{1} << 24; i + 4 <= n;)
    {
        const std::size_t end = i + std::min(stretch, (n - i) & ~std::size_t{3});
        __m128i count = _mm_setzero_si128(); // minus the samples beyond, per lane
        for (; i < end; i += 4)
        {
            const __m128 a = _mm_and_ps(_mm_loadu_ps(x + i), magnitude);
            highest = _mm_max_ps(a, highest);
            count = _mm_add_epi32(count, _mm_castps_si128(_mm_cmpgt_ps(a, one)));
        }
        alignas(16) std::int32_t c[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(c), count);
        beyond += static_cast<std::uint64_t>(-(static_cast<std::int64_t>(c[0]) + c[1] + c[2] + c[3]));
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, highest);
    peak = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
#endif
    for (; i < n; ++i)
    {
        const float a = std::fabs(x[i]);
        peak = a > peak ? a : peak;
        beyond += a > 1.f ? 1 : 0;
    }
    return peak;
}
} // namespace

namespace
{
std::uint32_t servedChannels(std::uint32_t channels, std::uint32_t sampleRate)
{
    const std::string unserved = unservedReason(channels, sampleRate);
    if (!unserved.empty())
        throw std::invalid_argument("the loudness meter cannot measure " + unserved);
    return channels;
}
} // namespace

// Beyond stereo, no channel is a surround one: each counts fully.
LevelMeter::LevelMeter(std::uint32_t channels, std::uint32_t sampleRate, Measure measure)
    : m_channels(servedChannels(channels, sampleRate)), m_sampleRate(sampleRate), m_measure(measure),
      m_loudness(channels, sampleRate, measure == Measure::Everything),
      m_truePeak(measure == Measure::Everything ? channels : 0, sampleRate), m_short(channels, sampleRate)
{
}

void LevelMeter::add(const float* interleaved, std::uint32_t frames)
{
    const std::size_t n = static_cast<std::size_t>(frames) * m_channels;
    if (anyNonFinite(interleaved, n))
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
    m_loudness.add(interleaved, frames);
    m_frames += frames;
    m_short.add(interleaved, frames);
    if (m_measure != Measure::Everything)
        return;
    m_peak = peakAndBeyondFullScale(interleaved, n, m_peak, m_clipped);
    m_truePeak.add(interleaved, frames);
}

Levels LevelMeter::levels() const
{
    Levels l;
    const double loudness = m_loudness.integratedLufs();
    if (std::isfinite(loudness))
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
    if (m_frames >= kLoudnessRangeBlockSeconds * m_sampleRate)
        if (const double range = m_loudness.rangeLu(); std::isfinite(range))
            l.loudnessRangeLu = range;
    l.peakDbfs = toDb(m_peak);
    l.truePeakDbtp = toDb(std::max(m_truePeak.peak(), m_peak));
    l.clippedSamples = m_clipped;
    return l;
}
