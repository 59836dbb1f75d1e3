#include "transmission/RadioLink.h"

#include "transmission/PinkFilter.h"

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
// The receiver's audio stage: what the radio adds passes unchanged up to the knee and bends
// smoothly towards the ceiling above it, so a voice peaking at -20 dBFS stays below full scale
// under the loudest static and click.
constexpr float kSaturationKnee = 0.5f;
constexpr float kSaturationCeiling = 0.85f;

float saturated(float x)
{
    const float size = std::fabs(x);
    if (size <= kSaturationKnee)
        return x;
    const float room = kSaturationCeiling - kSaturationKnee;
    return std::copysign(kSaturationKnee + room * std::tanh((size - kSaturationKnee) / room), x);
}
// The receiver's audio band.
constexpr double kBandLowHz = 250.0;
constexpr double kBandHighHz = 3000.0;

// Second-order Butterworth sections (the audio cookbook's forms, Q = 1/sqrt 2 for the
// high-pass; 0.5412 and 1.3066 for the fourth-order low-pass).
template <typename Section>
Section butterworth(bool highPass, double hz, double q, double rate)
{
    const double w = 2.0 * M_PI * std::min(hz, 0.45 * rate) / rate;
    const double alpha = std::sin(w) / (2.0 * q), c = std::cos(w), a0 = 1.0 + alpha;
    Section s;
    s.b1 = (highPass ? -(1.0 + c) : 1.0 - c) / a0;
    s.b0 = s.b2 = (highPass ? (1.0 + c) / 2.0 : (1.0 - c) / 2.0) / a0;
    s.a1 = -2.0 * c / a0;
    s.a2 = (1.0 - alpha) / a0;
    return s;
}
} // namespace

RadioLink::RadioLink(const RadioSettings& settings, double sampleRate, unsigned channels, std::uint64_t seed)
    : m_settings(settings), m_rate(sampleRate), m_channels(channels)
{
    m_bandDesign[0] = butterworth<Section>(true, kBandLowHz, 0.70710678, sampleRate);
    m_bandDesign[1] = butterworth<Section>(false, kBandHighHz, 0.54119610, sampleRate);
    m_bandDesign[2] = butterworth<Section>(false, kBandHighHz, 1.30656296, sampleRate);
    for (unsigned c = 0; c < channels; ++c)
        m_sources.push_back(makeSource(derivedSeed(seed, 100 + c)));
    m_clickFrames = static_cast<std::uint64_t>(std::llround(kClickMs * sampleRate / 1000.0));

    // The colour's own RMS in the receiver's band, measured once on a stretch of it, so that
    // the static's level is its RMS whatever its colour. The squelch burst is white in the band.
    StaticSource probe = makeSource(1);
    double colourSum = 0, whiteSum = 0;
    const int probeFrames = 1 << 16;
    for (int i = 0; i < probeFrames; ++i)
    {
        const double x = banded(probe.staticBand, colouredSample(probe));
        colourSum += x * x;
    }
    probe = makeSource(1);
    for (int i = 0; i < probeFrames; ++i)
    {
        const double x = banded(probe.burstBand, probe.random.bipolar());
        whiteSum += x * x;
    }
    m_colourRms = std::sqrt(colourSum / probeFrames);
    m_whiteRms = std::sqrt(whiteSum / probeFrames);
    setLevelsAndTimes(settings);
}

void RadioLink::setLevelsAndTimes(const RadioSettings& settings)
{
    // What the link was made with stays.
    const RadioSettings made = m_settings;
    m_settings = settings;
    m_settings.enabled = made.enabled;
    m_settings.colour = made.colour;
    m_settings.keying = made.keying;
    m_threshold = amplitudeOf(settings.thresholdDb);
    m_holdFrames = static_cast<std::uint64_t>(std::llround(settings.holdMs * m_rate / 1000.0));
    m_carrierFrames = static_cast<std::uint64_t>(std::llround(settings.carrierMs * m_rate / 1000.0));
    m_tailFrames = static_cast<std::uint64_t>(std::llround(settings.squelchMs * m_rate / 1000.0));
    m_clickPeak = amplitudeOf(settings.clickDb);
    m_staticGain = static_cast<float>(amplitudeOf(settings.staticDb) / m_colourRms);
    const double tailDb = std::isinf(settings.staticDb) ? kTailLevelWithoutStaticDb
                                                        : std::min(settings.staticDb + kTailAboveStaticDb, -8.0);
    m_tailGain = static_cast<float>(amplitudeOf(tailDb) / m_whiteRms);
}

RadioLink::StaticSource RadioLink::makeSource(std::uint64_t seed) const
{
    StaticSource source{SeededRandom(seed)};
    for (int i = 0; i < 3; ++i)
        source.staticBand[i] = source.burstBand[i] = m_bandDesign[i];
    return source;
}

float RadioLink::banded(Section (&band)[3], float x)
{
    double y = x;
    for (Section& section : band)
        y = section.run(y);
    return static_cast<float>(y);
}

float RadioLink::colouredSample(StaticSource& source) const
{
    const float white = source.random.bipolar();
    switch (m_settings.colour)
    {
    case StaticColour::White: return white;
    case StaticColour::Pink: return pinkFromWhite(source.pink, white);
    case StaticColour::Brown:
        // A leaky integrator: -6 dB per octave above about 16 Hz at 48 kHz.
        source.brown = 0.998f * source.brown + 0.0447f * white;
        return source.brown;
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
    if (m_keepsEvents)
        m_events.push_back({m_frame, down});
    if (down)
        m_sinceKey = 0;
    else
    {
        m_sinceUnkey = 0;
        for (StaticSource& source : m_sources)
            for (int i = 0; i < 3; ++i)
                source.burstBand[i] = m_bandDesign[i];
    }
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
            {
                StaticSource& source = m_sources[c];
                frame[c] += saturated(carrier * m_staticGain * banded(source.staticBand, colouredSample(source)) + click);
            }
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
            StaticSource& source = m_sources[c];
            const float noise = tail > 0.f ? banded(source.burstBand, source.random.bipolar()) : 0.f;
            frame[c] = saturated(tail * noise + click);
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
