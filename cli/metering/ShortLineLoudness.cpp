#include "cli/metering/ShortLineLoudness.h"

#include "cli/metering/KWeightingDesign.h"

#include <cmath>

namespace
{
using Biquad = KWeightingBiquad;

// Mean square of one channel of `samples` through both stages (direct form II transposed).
double weightedMeanSquare(const std::vector<float>& samples, std::uint32_t channels, std::uint32_t channel,
                          const Biquad& first, const Biquad& second)
{
    double s1 = 0, s2 = 0, t1 = 0, t2 = 0, energy = 0;
    const std::size_t frames = samples.size() / channels;
    for (std::size_t i = 0; i < frames; ++i)
    {
        const double x = samples[i * channels + channel];
        const double y = first.b0 * x + s1;
        s1 = first.b1 * x - first.a1 * y + s2;
        s2 = first.b2 * x - first.a2 * y;
        const double z = second.b0 * y + t1;
        t1 = second.b1 * y - second.a1 * z + t2;
        t2 = second.b2 * y - second.a2 * z;
        energy += z * z;
    }
    return frames > 0 ? energy / static_cast<double>(frames) : 0.0;
}
} // namespace

ShortLineLoudness::ShortLineLoudness(std::uint32_t channels, std::uint32_t sampleRate)
    : m_channels(channels), m_sampleRate(sampleRate),
      m_capacityFrames(static_cast<std::size_t>(std::ceil(kGatingBlockSeconds * sampleRate)))
{
    m_samples.reserve(m_capacityFrames * channels);
}

void ShortLineLoudness::add(const float* interleaved, std::uint32_t frames)
{
    const std::size_t n = static_cast<std::size_t>(frames) * m_channels;
    if (!m_heard)
        for (std::size_t i = 0; i < n && !m_heard; ++i)
            m_heard = interleaved[i] != 0.f;
    if (m_overflowed)
        return;
    if (m_samples.size() + n > m_capacityFrames * m_channels)
    {
        m_overflowed = true;
        m_samples.clear();
        return;
    }
    m_samples.insert(m_samples.end(), interleaved, interleaved + n);
}

double ShortLineLoudness::lufs() const
{
    if (m_overflowed || !m_heard)
        return -HUGE_VAL;
    const Biquad shelf = kWeightingHeadShelf(m_sampleRate), highPass = kWeightingHighPass(m_sampleRate);
    double sum = 0.0;
    for (std::uint32_t c = 0; c < m_channels; ++c)
        sum += weightedMeanSquare(m_samples, m_channels, c, shelf, highPass);
    return sum > 0.0 ? -0.691 + 10.0 * std::log10(sum) : -HUGE_VAL;
}
