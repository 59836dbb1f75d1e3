#include "python/src/EffectStream.h"

#include "cli/render/EffectHost.h"
#include "cli/render/ServedAudio.h"
#include "quarl/SilenceFloor.h"

#include <algorithm>
#include <stdexcept>
#include <string>

using namespace ZQ::Quarl;

EffectStream::EffectStream(const std::vector<std::uint8_t>& block, std::uint32_t sampleRate, std::uint32_t channels,
                           std::uint32_t blockFrames, const transmission::TransmissionSettings& transmission,
                           std::uint64_t seed)
    : m_block(block), m_sampleRate(sampleRate), m_channels(channels), m_blockFrames(blockFrames)
{
    const std::string unserved = unservedReason(channels, sampleRate);
    if (!unserved.empty())
        throw std::invalid_argument("cannot render audio of " + unserved);
    const PluginRegistration& record = EffectHost::instance().effect();
    m_instance = std::make_unique<quarl::EffectInstance>(record, m_allocator, &m_context);
    const Result created = m_instance->create(m_block.data(), static_cast<std::uint32_t>(m_block.size()),
                                              AudioFormat{sampleRate, channels});
    if (created != Success)
        throw std::runtime_error("the effect could not be set up (host code " + std::to_string(created) + ")");
    m_renderer = std::make_unique<quarl::StreamRenderer>(*m_instance->effect(), channels, blockFrames);
    // After the effect's own tail, silence in while the output still rings; the floor the
    // settings make is measured from the block in force at the end.
    m_renderer->playOnWhileRinging({sampleRate, {}, [this, &record] {
                                        return quarl::silenceFloorRms(record, m_block,
                                                                      AudioFormat{m_sampleRate, m_channels},
                                                                      m_blockFrames);
                                    }});
    if (transmission.active())
        m_transmission = std::make_unique<transmission::Transmission>(transmission, sampleRate, channels, seed);
    m_renderer->begin();
}

bool EffectStream::deliver(const float* interleaved, std::uint32_t frames, std::vector<float>& out)
{
    const std::size_t before = out.size();
    if (m_transmission)
        m_transmission->process(interleaved, frames, out);
    else
        out.insert(out.end(), interleaved, interleaved + static_cast<std::size_t>(frames) * m_channels);
    m_framesOut += (out.size() - before) / m_channels;
    return true;
}

void EffectStream::finishTransmission(std::vector<float>& out)
{
    const std::size_t before = out.size();
    if (m_transmission)
        m_transmission->finish(out);
    m_framesOut += (out.size() - before) / m_channels;
}

std::vector<float> EffectStream::run(const float* interleaved, std::uint64_t frames,
                                     const quarl::StreamRenderer::BeforeBuffer& beforeBuffer)
{
    std::vector<float> out;
    std::uint64_t position = 0;
    const quarl::RenderResult result = m_renderer->run(
        [&](float* into, std::uint32_t wanted) {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, frames - position));
            std::copy_n(interleaved + position * m_channels, static_cast<std::size_t>(n) * m_channels, into);
            position += n;
            return n;
        },
        [&](const float* from, std::uint32_t n) { return deliver(from, n, out); }, beforeBuffer);
    checkStatus(result.status);
    finishTransmission(out);
    return out;
}

void EffectStream::feed(const float* interleaved, std::uint64_t frames, std::vector<float>& out)
{
    auto sink = [&](const float* from, std::uint32_t n) { return deliver(from, n, out); };
    // In pieces the runner's frame count can hold.
    constexpr std::uint64_t kMostPerCall = 1u << 30;
    while (frames > 0)
    {
        const auto n = static_cast<std::uint32_t>(std::min(frames, kMostPerCall));
        m_renderer->feed(interleaved, n, sink);
        m_framesIn += n;
        interleaved += static_cast<std::size_t>(n) * m_channels;
        frames -= n;
    }
}

void EffectStream::finish(std::vector<float>& out)
{
    const quarl::RenderResult result =
        m_renderer->finish([&](const float* from, std::uint32_t n) { return deliver(from, n, out); });
    checkStatus(result.status);
    finishTransmission(out);
}

void EffectStream::update(const std::vector<std::uint8_t>& block)
{
    m_block = block;
    m_instance->params()->SetParamsBlock(m_block.data(), static_cast<std::uint32_t>(m_block.size()));
}

void EffectStream::checkStatus(Result status) const
{
    if (status != Success)
        throw std::runtime_error("the effect stopped with host code " + std::to_string(status));
}
