#include "pipeline/EffectRun.h"

#include "pipeline/SpaceStep.h"
#include "pipeline/TransmissionStep.h"
#include "quarl/SilenceFloor.h"

#include <algorithm>

using namespace ZQ::Quarl;

namespace pipeline
{
std::string RunResult::failure() const
{
    return succeeded() ? std::string() : "the effect stopped with host code " + std::to_string(effect.status);
}

EffectRun::EffectRun(const PluginRegistration& effect, RunSettings settings, std::uint32_t sampleRate,
                     std::uint32_t channels)
    : m_settings(std::move(settings)), m_effect(effect), m_sampleRate(sampleRate), m_channels(channels),
      m_instance(effect, m_allocator, &m_context)
{
    const Result created = m_instance.create(m_settings.block.data(), static_cast<std::uint32_t>(m_settings.block.size()),
                                             AudioFormat{sampleRate, channels});
    if (created != Success)
        throw RunError("the effect could not be set up (host code " + std::to_string(created) + ")");
    m_renderer = std::make_unique<quarl::StreamRenderer>(*m_instance.effect(), channels, m_settings.blockFrames);
    // The floor the settings make from silence is measured from the block in force at the end.
    if (m_settings.live)
        m_live = std::make_unique<quarl::AudioBufferStorage>(channels, m_settings.blockFrames);
    else if (m_settings.ringOut)
        m_renderer->playOnWhileRinging({sampleRate, {}, [this] {
                                            return quarl::silenceFloorRms(m_effect, m_settings.block,
                                                                          AudioFormat{m_sampleRate, m_channels},
                                                                          m_settings.blockFrames);
                                        }});
    m_transmission = TransmissionStep::make(m_settings.transmission, sampleRate, channels, m_settings.seed);
    m_space = SpaceStep::make(m_settings.space, sampleRate, channels);
}

EffectRun::~EffectRun() = default;

bool EffectRun::deliver(const float* interleaved, std::uint32_t frames, const Sink& sink)
{
    if (!m_transmission && !m_space)
    {
        m_framesOut += frames;
        return sink(interleaved, frames);
    }
    if (!m_transmission)
        return deliverTransmitted(interleaved, frames, false, sink);
    m_transmitted.clear();
    m_transmission->process(interleaved, frames, m_transmitted);
    return deliverTransmitted(m_transmitted.data(), m_transmitted.size() / m_channels, false, sink);
}

bool EffectRun::deliverTransmitted(const float* transmitted, std::size_t frames, bool last, const Sink& sink)
{
    if (m_space)
    {
        m_spaced.clear();
        m_space->process(transmitted, static_cast<std::uint32_t>(frames), m_spaced);
        if (last)
            m_space->finish(m_spaced);
        transmitted = m_spaced.data();
        frames = m_spaced.size() / m_channels;
    }
    const auto n = static_cast<std::uint32_t>(frames);
    m_framesOut += n;
    return n == 0 || sink(transmitted, n);
}

bool EffectRun::finishSteps(const Sink& sink)
{
    if (!m_transmission && !m_space)
        return true;
    m_transmitted.clear();
    if (m_transmission)
        m_transmission->finish(m_transmitted);
    return deliverTransmitted(m_transmitted.data(), m_transmitted.size() / m_channels, true, sink);
}

EffectRun::Sink EffectRun::appending(std::vector<float>& out)
{
    return [this, &out](const float* from, std::uint32_t frames) {
        out.insert(out.end(), from, from + static_cast<std::size_t>(frames) * m_channels);
        return true;
    };
}

RunResult EffectRun::run(const Source& source, const Sink& sink, const BeforeBuffer& beforeBuffer)
{
    RunResult result;
    const Sink delivered = [&](const float* from, std::uint32_t frames) {
        if (deliver(from, frames, sink))
            return true;
        result.stopped = true;
        return false;
    };
    const BeforeBuffer asked = [&](std::uint64_t buffer) {
        if (!beforeBuffer || beforeBuffer(buffer))
            return true;
        result.stopped = true;
        return false;
    };
    result.effect = m_renderer->run(
        [&](float* into, std::uint32_t frames) {
            const std::uint32_t n = source(into, frames);
            m_framesIn += n;
            return n;
        },
        delivered, asked);
    if (result.succeeded() && !result.stopped && !finishSteps(sink))
        result.stopped = true;
    if (m_transmission)
        result.transmission = m_transmission->report();
    if (m_space)
        result.space = m_space->report();
    return result;
}

std::vector<float> EffectRun::render(const float* interleaved, std::uint64_t frames, const BeforeBuffer& beforeBuffer)
{
    // Room for the input and a second of tail up front: a long input's output is not copied
    // as it grows.
    std::vector<float> out;
    out.reserve(static_cast<std::size_t>(frames + m_sampleRate) * m_channels);
    std::uint64_t position = 0;
    const RunResult result = run(
        [&](float* into, std::uint32_t wanted) {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, frames - position));
            std::copy_n(interleaved + position * m_channels, static_cast<std::size_t>(n) * m_channels, into);
            position += n;
            return n;
        },
        appending(out), beforeBuffer);
    if (!result.succeeded())
        throw RunError(result.failure());
    return out;
}

void EffectRun::feed(const float* interleaved, std::uint64_t frames, std::vector<float>& out)
{
    feed(interleaved, frames, appending(out));
}

void EffectRun::finish(std::vector<float>& out)
{
    finish(appending(out));
}

void EffectRun::feed(const float* interleaved, std::uint64_t frames, const Sink& sink)
{
    if (!m_begun)
    {
        m_renderer->begin();
        m_begun = true;
    }
    auto delivered = [&](const float* from, std::uint32_t n) { return deliver(from, n, sink); };
    // In pieces the runner's frame count can hold.
    constexpr std::uint64_t kMostPerCall = 1u << 30;
    while (frames > 0)
    {
        const auto n = static_cast<std::uint32_t>(std::min(frames, kMostPerCall));
        m_renderer->feed(interleaved, n, delivered);
        m_framesIn += n;
        interleaved += static_cast<std::size_t>(n) * m_channels;
        frames -= n;
    }
}

void EffectRun::finish(const Sink& sink)
{
    if (!m_begun)
    {
        m_renderer->begin();
        m_begun = true;
    }
    RunResult result;
    result.effect = m_renderer->finish([&](const float* from, std::uint32_t n) { return deliver(from, n, sink); });
    if (!result.succeeded())
        throw RunError(result.failure());
    finishSteps(sink);
}

void EffectRun::playLive(const float* interleaved, float* out, std::uint32_t frames)
{
    if (!m_live)
        return;
    frames = std::min(frames, m_settings.blockFrames);
    m_live->fillInterleaved(interleaved, frames, Success);
    m_instance.effect()->Execute(m_live->buffer());
    m_live->readInterleaved(out);
}

void EffectRun::update(const std::vector<std::uint8_t>& block)
{
    m_settings.block = block;
    m_instance.params()->SetParamsBlock(m_settings.block.data(), static_cast<std::uint32_t>(m_settings.block.size()));
}

Result EffectRun::updateParameter(PluginParamId id, const void* value, std::uint32_t bytes)
{
    return m_instance.params()->SetParam(id, value, bytes);
}

std::uint64_t EffectRun::mostFramesHeldBack() const
{
    return std::uint64_t{m_settings.blockFrames} + (m_transmission ? m_transmission->mostFramesHeldBack() : 0) +
           (m_space ? m_space->mostFramesHeldBack() : 0);
}
} // namespace pipeline
