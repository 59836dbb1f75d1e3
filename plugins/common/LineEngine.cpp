#include "plugins/common/LineEngine.h"

#include "plugins/common/LineSpace.h"
#include "transmission/Transmission.h"

#include <algorithm>
#include <cmath>

namespace plugins
{
std::size_t LineEngine::measureLatency(const transmission::CodecSettings& codec, double sampleRate)
{
    // The most the line holds back after a call of any size: output that late is always there
    // when the host asks for it.
    return transmission::Transmission::mostFramesHeldBack(codec, sampleRate);
}

namespace
{
bool sameLoss(const transmission::LossSettings& a, const transmission::LossSettings& b)
{
    return a.rate == b.rate && a.meanBurst == b.meanBurst && a.concealment == b.concealment;
}

bool sameRadioLevelsAndTimes(const transmission::RadioSettings& a, const transmission::RadioSettings& b)
{
    return a.staticDb == b.staticDb && a.squelchMs == b.squelchMs && a.clickDb == b.clickDb &&
           a.carrierMs == b.carrierMs && a.thresholdDb == b.thresholdDb && a.holdMs == b.holdMs;
}

bool sameRoom(const LineSpaceSetup& a, const LineSpaceSetup& b) { return a.room == b.room && a.distance == b.distance; }
} // namespace

bool LineEngine::sameCodec(const transmission::CodecSettings& a, const transmission::CodecSettings& b)
{
    return a.kind == b.kind && a.bitRate == b.bitRate && a.discontinuous == b.discontinuous && a.bandwidth == b.bandwidth;
}

bool LineEngine::follows(const LineSetup& made, const LineSetup& wanted)
{
    const auto &a = made.settings, &b = wanted.settings;
    return sameCodec(a.codec, b.codec) && made.seed == wanted.seed && a.radio.enabled == b.radio.enabled &&
           a.radio.colour == b.radio.colour && a.radio.keying == b.radio.keying && sameRoom(made.space, wanted.space);
}

void LineEngine::follow(const LineSetup& setup)
{
    if (m_space != nullptr)
        m_space->setMix(setup.space.mixPercent);
    if (!sameLoss(setup.settings.loss, m_setup.settings.loss) ||
        !sameRadioLevelsAndTimes(setup.settings.radio, m_setup.settings.radio))
        m_transmission->setLossAndRadio(setup.settings.loss, setup.settings.radio);
    m_setup = setup;
}

std::size_t LineEngine::latency() const { return m_latency + (m_space != nullptr ? m_space->latency() : 0); }

std::size_t LineEngine::spaceTailFrames() const { return m_space != nullptr ? m_space->tailFrames() : 0; }

void LineEngine::setWaiting(bool waiting)
{
    if (m_space != nullptr)
        m_space->setWaiting(waiting);
}

std::uint64_t LineEngine::lateBlocks() const { return m_space != nullptr ? m_space->lateBlocks() : 0; }

std::size_t LineEngine::warmUpFrames(double sampleRate, std::size_t maxFramesPerCall)
{
    return std::max(static_cast<std::size_t>(std::ceil(sampleRate)), 4 * maxFramesPerCall);
}

LineEngine::LineEngine(const LineSetup& setup, double sampleRate, unsigned channels, std::size_t maxFramesPerCall,
                       std::size_t latency)
    : m_setup(setup), m_channels(channels), m_maxFrames(std::max<std::size_t>(maxFramesPerCall, 1)), m_latency(latency)
{
    m_transmission = std::make_unique<transmission::Transmission>(setup.settings, sampleRate, channels, setup.seed);
    m_transmission->prepareForRealTime(m_maxFrames);
    if (setup.space.active())
        m_space = std::make_unique<LineSpace>(setup.space, sampleRate, channels, m_maxFrames);
    m_interleaved.resize(m_maxFrames * channels);
    // A call hands out at most what it took plus what was held back.
    m_out.reserve((m_maxFrames + m_latency + 1) * channels * 2);
    m_ringFrames = m_latency + 2 * m_maxFrames + 1;
    m_ring.assign(m_ringFrames * channels, 0.f);

    // The warm-up's transmitted silence that is still held back comes out first; the delay
    // line makes up the rest of the latency with silence of its own.
    const std::size_t warmUp = warmUpFrames(sampleRate, m_maxFrames);
    const std::vector<float> silence(warmUp * channels, 0.f);
    std::vector<float> out;
    m_transmission->process(silence.data(), warmUp, out);
    const std::size_t heldBack = warmUp - out.size() / channels;
    m_held = m_latency - std::min(heldBack, m_latency);
    m_owed = heldBack - std::min(heldBack, m_latency);
}

LineEngine::~LineEngine() = default;

void LineEngine::process(float* const* channels, std::size_t frames)
{
    for (std::size_t offset = 0; offset < frames; offset += m_maxFrames)
        processPart(channels, offset, std::min(m_maxFrames, frames - offset));
}

void LineEngine::interleave(float* const* channels, std::size_t offset, std::size_t frames)
{
    for (unsigned c = 0; c < m_channels; ++c)
        for (std::size_t i = 0; i < frames; ++i)
            m_interleaved[i * m_channels + c] = channels[c][offset + i];
}

void LineEngine::processPart(float* const* channels, std::size_t offset, std::size_t frames)
{
    interleave(channels, offset, frames);
    m_out.clear();
    m_transmission->process(m_interleaved.data(), frames, m_out);

    // Into the delay line; it has room for all of it when the latency is right. Frames that
    // were owed (played as silence when the line was late) are dropped, to stay in time.
    const std::size_t made = m_out.size() / m_channels;
    const std::size_t dropped = static_cast<std::size_t>(std::min<std::uint64_t>(m_owed, made));
    m_owed -= dropped;
    const std::size_t room = m_ringFrames - m_held;
    const std::size_t kept = std::min(made - dropped, room);
    for (std::size_t i = 0; i < kept; ++i)
    {
        const std::size_t at = (m_read + m_held + i) % m_ringFrames;
        for (unsigned c = 0; c < m_channels; ++c)
        {
            const float x = m_out[(dropped + i) * m_channels + c];
            m_ring[at * m_channels + c] = std::isfinite(x) ? x : 0.f;
        }
    }
    m_held += kept;

    // Out of it, the oldest first; silence for what the transmission has not yet handed out.
    const std::size_t ready = std::min(frames, m_held);
    for (std::size_t i = 0; i < ready; ++i)
    {
        const std::size_t at = (m_read + i) % m_ringFrames;
        for (unsigned c = 0; c < m_channels; ++c)
            channels[c][offset + i] = m_ring[at * m_channels + c];
    }
    for (std::size_t i = ready; i < frames; ++i)
        for (unsigned c = 0; c < m_channels; ++c)
            channels[c][offset + i] = 0.f;
    m_shortfalls += frames - ready;
    m_owed += frames - ready;
    m_read = (m_read + ready) % m_ringFrames;
    m_held -= ready;

    // The line in the space.
    if (m_space == nullptr)
        return;
    interleave(channels, offset, frames);
    m_space->process(m_interleaved.data(), frames);
    for (unsigned c = 0; c < m_channels; ++c)
        for (std::size_t i = 0; i < frames; ++i)
            channels[c][offset + i] = m_interleaved[i * m_channels + c];
}

} // namespace plugins
