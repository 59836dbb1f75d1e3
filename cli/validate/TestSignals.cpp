#include "cli/validate/TestSignals.h"

#include <algorithm>
#include <cmath>
#include <limits>

const char* toString(SignalKind kind)
{
    switch (kind)
    {
    case SignalKind::Silence: return "silence";
    case SignalKind::Square: return "full-scale square";
    case SignalKind::Dc: return "DC";
    case SignalKind::Noise: return "noise";
    case SignalKind::Subnormal: return "subnormals";
    case SignalKind::NonFiniteBurst: return "NaN and Inf bursts";
    }
    return "?";
}

TestSignals::TestSignals(std::uint64_t seed, std::uint32_t sampleRate) : m_random(seed), m_sampleRate(sampleRate)
{
    startSegment();
}

void TestSignals::force(SignalKind kind)
{
    m_forced = true;
    m_kind = kind;
    startSegment();
}

void TestSignals::startSegment()
{
    if (!m_forced)
        m_kind = static_cast<SignalKind>(std::uniform_int_distribution<int>(0, 5)(m_random));
    // 20 ms to 250 ms of one kind.
    m_segmentLeft = std::uniform_int_distribution<std::uint64_t>(m_sampleRate / 50, m_sampleRate / 4)(m_random);
    m_level = std::uniform_int_distribution<int>(0, 1)(m_random) == 0 ? 1.f : -1.f;
    m_period = std::uniform_int_distribution<std::uint32_t>(2, std::max(3u, m_sampleRate / 20))(m_random);
    m_phase = 0;
}

float TestSignals::next(std::uint32_t channel)
{
    std::uniform_real_distribution<float> unit(-1.f, 1.f);
    switch (m_kind)
    {
    case SignalKind::Silence: return 0.f;
    case SignalKind::Square: return ((m_phase + channel) % m_period) * 2 < m_period ? 1.f : -1.f;
    case SignalKind::Dc: return m_level;
    case SignalKind::Noise:
    case SignalKind::NonFiniteBurst: return unit(m_random);
    case SignalKind::Subnormal: return unit(m_random) * std::numeric_limits<float>::denorm_min() * 1000.f;
    }
    return 0.f;
}

void TestSignals::fill(ZQ::Quarl::AudioBuffer& buffer)
{
    const std::uint32_t frames = buffer.validFrames;
    m_lastPeak = 0.f;
    m_lastNonFinite = false;
    for (std::uint32_t i = 0; i < frames; ++i)
    {
        if (m_segmentLeft == 0)
            startSegment();
        --m_segmentLeft;
        for (std::uint32_t c = 0; c < buffer.channelCount; ++c)
        {
            const float v = next(c);
            buffer.channel(c)[i] = v;
            m_lastPeak = std::max(m_lastPeak, std::fabs(v));
        }
        ++m_phase;
    }
    // A burst: a few NaNs and infinities somewhere in one buffer of four.
    if (m_kind == SignalKind::NonFiniteBurst && frames > 0 &&
        std::uniform_int_distribution<int>(0, 3)(m_random) == 0)
    {
        const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity()};
        const int count = std::uniform_int_distribution<int>(1, 4)(m_random);
        for (int k = 0; k < count; ++k)
        {
            const auto c = std::uniform_int_distribution<std::uint32_t>(0, buffer.channelCount - 1)(m_random);
            const auto i = std::uniform_int_distribution<std::uint32_t>(0, frames - 1)(m_random);
            buffer.channel(c)[i] = bad[std::uniform_int_distribution<int>(0, 2)(m_random)];
        }
        m_lastNonFinite = true;
    }
}
