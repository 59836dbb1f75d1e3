#include "transmission/RadioLink.h"

#include <algorithm>
#include <cmath>

namespace transmission
{
namespace
{
float amplitudeOf(double db) { return std::isinf(db) ? 0.f : static_cast<float>(std::pow(10.0, db / 20.0)); }

// The squelch burst is this much louder than the static, broadband, and ends in a short fade.
constexpr double kTailAboveStaticDb = 10.0;
constexpr double kTailLevelWithoutStaticDb = -28.0;
constexpr double kTailFadeMs = 12.0;
// The click: a damped tone of a few milliseconds, as a relay or switch contact makes.
constexpr double kClickMs = 6.0;
constexpr double kClickHz = 1700.0;
// Unkeying clicks softer than keying.
constexpr float kUnkeyClick = 0.5f;
} // namespace

RadioLink::RadioLink(const RadioSettings& settings, double sampleRate, unsigned channels, std::uint64_t seed)
    : m_settings(settings), m_rate(sampleRate), m_channels(channels)
{
    for (unsigned c = 0; c < channels; ++c)
        m_sources.push_back(StaticSource{SeededRandom(derivedSeed(seed, 100 + c))});
    m_threshold = amplitudeOf(settings.thresholdDb);
    m_holdFrames = static_cast<std::uint64_t>(std::llround(settings.holdMs * sampleRate / 1000.0));
    m_carrierFrames = static_cast<std::uint64_t>(std::llround(settings.carrierMs * sampleRate / 1000.0));
    m_tailFrames = static_cast<std::uint64_t>(std::llround(settings.squelchMs * sampleRate / 1000.0));
    m_clickFrames = static_cast<std::uint64_t>(std::llround(kClickMs * sampleRate / 1000.0));
    m_clickPeak = amplitudeOf(settings.clickDb);

    // The colour's own RMS, measured once on a stretch of it, so that the static's level is
    // its RMS whatever its colour.
    StaticSource probe{SeededRandom(1)};
    double sum = 0;
    const int probeFrames = 1 << 16;
    m_staticGain = 1.f;
    for (int i = 0; i < probeFrames; ++i)
    {
        const double x = staticSample(probe);
        sum += x * x;
    }
    const double colourRms = std::sqrt(sum / probeFrames);
    m_staticGain = static_cast<float>(amplitudeOf(settings.staticDb) / colourRms);
    const double tailDb = std::isinf(settings.staticDb) ? kTailLevelWithoutStaticDb
                                                        : std::min(settings.staticDb + kTailAboveStaticDb, -8.0);
    // Uniform white noise has an RMS of 1/sqrt(3).
    m_tailGain = static_cast<float>(amplitudeOf(tailDb) * std::sqrt(3.0));
}

float RadioLink::staticSample(StaticSource& source)
{
    const float white = source.random.bipolar();
    switch (m_settings.colour)
    {
    case StaticColour::White: return white * m_staticGain;
    case StaticColour::Pink:
    {
        // Paul Kellet's refined pink filter: -3 dB per octave within 0.05 dB above 9 Hz at 44.1 kHz.
        float* b = source.pink;
        b[0] = 0.99886f * b[0] + white * 0.0555179f;
        b[1] = 0.99332f * b[1] + white * 0.0750759f;
        b[2] = 0.96900f * b[2] + white * 0.1538520f;
        b[3] = 0.86650f * b[3] + white * 0.3104856f;
        b[4] = 0.55000f * b[4] + white * 0.5329522f;
        b[5] = -0.7616f * b[5] - white * 0.0168980f;
        const float pink = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + white * 0.5362f;
        b[6] = white * 0.115926f;
        return pink * m_staticGain;
    }
    case StaticColour::Brown:
        // A leaky integrator: -6 dB per octave above about 16 Hz at 48 kHz.
        source.brown = 0.998f * source.brown + 0.0447f * white;
        return source.brown * m_staticGain;
    }
    return 0.f;
}

float RadioLink::clickSample(std::uint64_t sinceEdge) const
{
    if (sinceEdge >= m_clickFrames || m_clickPeak <= 0.f)
        return 0.f;
    const double t = static_cast<double>(sinceEdge) / m_rate;
    const double decay = std::exp(-t / (kClickMs / 1000.0 / 4.0));
    return static_cast<float>(m_clickPeak * decay * std::sin(2.0 * M_PI * kClickHz * t + 0.5 * M_PI));
}

void RadioLink::key(bool down)
{
    m_keyed = down;
    m_events.push_back({m_frame, down});
    if (down)
        m_sinceKey = 0;
    else
        m_sinceUnkey = 0;
    m_quietFrames = 0;
}

void RadioLink::process(float* interleaved, const float* levels, std::size_t frames)
{
    for (std::size_t i = 0; i < frames; ++i, ++m_frame)
    {
        if (m_settings.keying == Keying::Line)
        {
            if (!m_keyed && m_frame == 0)
                key(true);
        }
        else if (!m_keyed && levels[i] >= m_threshold)
            key(true);
        else if (m_keyed && levels[i] < m_threshold && ++m_quietFrames > m_holdFrames)
            key(false);
        else if (m_keyed && levels[i] >= m_threshold)
            m_quietFrames = 0;

        float* frame = interleaved + i * m_channels;
        if (m_keyed)
        {
            const float carrier = m_sinceKey < m_carrierFrames
                                      ? static_cast<float>(m_sinceKey) / static_cast<float>(m_carrierFrames)
                                      : 1.f;
            const float click = clickSample(m_sinceKey);
            for (unsigned c = 0; c < m_channels; ++c)
                frame[c] += carrier * staticSample(m_sources[c]) + click;
            ++m_sinceKey;
            continue;
        }
        // Squelched: the receiver passes nothing but the burst after a transmission.
        float tail = 0.f;
        if (m_sinceUnkey < m_tailFrames)
        {
            const double left = static_cast<double>(m_tailFrames - m_sinceUnkey) * 1000.0 / m_rate;
            tail = m_tailGain * static_cast<float>(std::min(1.0, left / kTailFadeMs));
        }
        const float click = m_sinceUnkey != ~0ull ? kUnkeyClick * clickSample(m_sinceUnkey) : 0.f;
        for (unsigned c = 0; c < m_channels; ++c)
        {
            float noise = 0.f;
            if (tail > 0.f)
            {
                // Broadband, its top softened by a one-pole low-pass.
                StaticSource& s = m_sources[c];
                s.tailLowpass += 0.5f * (s.random.bipolar() - s.tailLowpass);
                noise = tail * s.tailLowpass * 1.7f;
            }
            frame[c] = noise + click;
        }
        if (m_sinceUnkey != ~0ull)
            ++m_sinceUnkey;
    }
}

void RadioLink::finish(std::vector<float>& out)
{
    if (!m_keyed)
        return;
    key(false);
    const std::size_t frames = static_cast<std::size_t>(std::max(m_tailFrames, m_clickFrames));
    const std::size_t start = out.size();
    out.resize(start + frames * m_channels, 0.f);
    std::vector<float> levels(frames, 0.f);
    // Nothing keys it again: the levels are silence, and the key is already up.
    const float threshold = m_threshold;
    m_threshold = HUGE_VALF;
    process(out.data() + start, levels.data(), frames);
    m_threshold = threshold;
}

} // namespace transmission
