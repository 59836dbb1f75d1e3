// The effect's processor and parameter object as the fuzz harnesses drive them: made
// through the host allocator, played over short buffers, and checked for what must hold
// whatever the input: finite output for finite input, and nothing left allocated.
#pragma once

#include "engine/EffectEngine.h"
#include "engine/EngineParams.h"
#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/StreamRenderer.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

class FuzzEffect
{
public:
    FuzzEffect(std::uint32_t sampleRate, std::uint32_t channels, std::uint32_t frames)
        : m_storage(channels, frames)
    {
        m_params = EngineParams::create(&m_allocator);
        m_engine = EffectEngine::create(&m_allocator);
        m_params->Init(&m_allocator, nullptr, 0);
        m_engine->Init(&m_allocator, &m_context, m_params, ZQ::Quarl::AudioFormat{sampleRate, channels});
    }
    ~FuzzEffect()
    {
        m_engine->Term(&m_allocator);
        m_params->Term(&m_allocator);
        if (m_allocator.liveBlocks() != 0)
            std::abort(); // a leak through the host allocator
    }
    FuzzEffect(const FuzzEffect&) = delete;
    FuzzEffect& operator=(const FuzzEffect&) = delete;

    EngineParams& params() { return *m_params; }
    quarl::AudioBufferStorage& storage() { return m_storage; }

    // Plays one buffer of a fixed finite signal; aborts on NaN or Inf out.
    void playTestBuffer()
    {
        ZQ::Quarl::AudioBuffer& b = m_storage.buffer();
        for (std::uint32_t c = 0; c < b.channelCount; ++c)
            for (std::uint32_t i = 0; i < b.maxFrames; ++i)
                b.channel(c)[i] = (i % 17 < 8 ? 0.9f : -0.9f);
        b.validFrames = b.maxFrames;
        b.state = ZQ::Quarl::Success;
        play(true);
    }

    // Streams a source through the effect as the host's renderer does.
    void render(const quarl::StreamRenderer::Source& source, const quarl::StreamRenderer::Sink& sink)
    {
        quarl::StreamRenderer renderer(*m_engine, m_storage.buffer().channelCount, m_storage.buffer().maxFrames);
        renderer.run(source, sink);
    }

    // Plays the storage's buffer as it stands.
    void play(bool inputFinite)
    {
        ZQ::Quarl::AudioBuffer& b = m_storage.buffer();
        m_engine->Execute(b);
        if (!inputFinite)
            return;
        for (std::uint32_t c = 0; c < b.channelCount; ++c)
            for (std::uint32_t i = 0; i < b.validFrames; ++i)
                if (!std::isfinite(b.channel(c)[i]))
                    std::abort();
    }

private:
    quarl::HostAllocator m_allocator;
    quarl::ProcessingContext m_context{false};
    quarl::AudioBufferStorage m_storage;
    EngineParams* m_params = nullptr;
    EffectEngine* m_engine = nullptr;
};
