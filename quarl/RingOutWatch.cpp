#include "quarl/RingOutWatch.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quarl
{
namespace
{
double gainOf(double db)
{
    return std::pow(10.0, db / 20.0);
}

// The greatest magnitude in `x`, at least `peak`; NaNs are passed over. The processor's max
// keeps its second operand when the first is a NaN, as std::max(peak, NaN) keeps peak, and
// the greatest of magnitudes is the same in any order: the answer is the one-at-a-time loop's.
float peakOf(const float* x, std::size_t n, float peak)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 a = _mm_set1_ps(peak), b = a;
    for (; i + 8 <= n; i += 8)
    {
        a = _mm_max_ps(_mm_and_ps(_mm_loadu_ps(x + i), magnitude), a);
        b = _mm_max_ps(_mm_and_ps(_mm_loadu_ps(x + i + 4), magnitude), b);
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, _mm_max_ps(a, b));
    peak = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
#endif
    for (; i < n; ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}
} // namespace

RingOutWatch::RingOutWatch(std::uint32_t channels, std::uint32_t sampleRate, const RingOutLimits& limits)
    : m_channels(std::max<std::uint32_t>(channels, 1)), m_limits(limits),
      m_capFrames(static_cast<std::uint64_t>(std::llround(std::max(limits.capSeconds, 0.0) * sampleRate)))
{
    const auto window = static_cast<std::size_t>(std::max(1.0, std::round(limits.windowSeconds * sampleRate)));
    m_peaks.assign(window, 0.f);
    m_energies.assign(window, 0.f);
    m_judgeEvery = static_cast<std::uint32_t>(std::max<std::size_t>(window / 8, 1));
}

void RingOutWatch::addProgramme(const float* interleaved, std::uint32_t frames)
{
    m_renderPeak = peakOf(interleaved, static_cast<std::size_t>(frames) * m_channels, m_renderPeak);
}

void RingOutWatch::addAfterInput(const float* interleaved, std::uint32_t frames)
{
    const std::size_t window = m_peaks.size();
    for (std::uint32_t f = 0; f < frames; ++f)
    {
        const float* frame = interleaved + static_cast<std::size_t>(f) * m_channels;
        float peak = 0.f, energy = 0.f;
        for (std::uint32_t c = 0; c < m_channels; ++c)
        {
            peak = std::max(peak, std::fabs(frame[c]));
            energy += frame[c] * frame[c];
        }
        const std::size_t at = static_cast<std::size_t>(m_afterInput % window);
        m_peaks[at] = peak;
        m_energies[at] = energy;
        m_renderPeak = std::max(m_renderPeak, peak);
        ++m_afterInput;
    }
    m_sinceJudged += frames;
}

bool RingOutWatch::ended(const std::function<double()>& floorRms)
{
    if (m_judged && m_sinceJudged < m_judgeEvery)
        return m_ended;
    m_judged = true;
    m_sinceJudged = 0;

    // The window: the last frames, never more than half of what followed the input, so
    // that the input's own last moments are not taken for the tail.
    const std::size_t window = m_peaks.size();
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(window, (m_afterInput + 1) / 2));
    float peak = 0.f;
    double energy = 0.0;
    for (std::size_t k = 0; k < n; ++k)
    {
        const auto at = static_cast<std::size_t>((m_afterInput - 1 - k) % window);
        peak = std::max(peak, m_peaks[at]);
        energy += m_energies[at];
    }
    m_endPeak = peak;

    const double quiet = std::max(gainOf(m_limits.quietDbfs), m_renderPeak * gainOf(-m_limits.belowPeakDb));
    if (peak <= quiet)
    {
        m_end = TailEnd::Quiet;
        return m_ended = true;
    }
    if (!m_floorKnown && floorRms)
    {
        m_floorRms = floorRms();
        m_floorKnown = true;
    }
    const double rms = std::sqrt(energy / (static_cast<double>(n) * m_channels));
    if (m_floorRms > 0.0 && rms <= m_floorRms * gainOf(m_limits.aboveFloorDb))
    {
        m_end = TailEnd::Floor;
        return m_ended = true;
    }
    return m_ended = false;
}
} // namespace quarl
