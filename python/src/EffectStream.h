// One run of the effect over a stream of interleaved float frames, set up as `crumlet render`
// sets up a file's: the host's allocator and processing context, the effect made through the
// module's registration record from a parameter block, the stream runner with the tool's
// buffer size, and the playing on after the tail while the output still rings. Whole (run)
// or pushed piece by piece (feed, finish), the samples are the tool's for the same input,
// block and buffer size. The effect's output then goes through the file's transmission
// (codec, loss, radio) when one is set, as the tool's does. No Python here.
#pragma once

#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"
#include "quarl/StreamRenderer.h"
#include "transmission/Transmission.h"

#include <cstdint>
#include <memory>
#include <vector>

class EffectStream
{
public:
    // Throws std::invalid_argument for a shape the effect does not serve (the tool's reason)
    // and std::runtime_error when the effect cannot be set up.
    // The transmission's seed decides the frames lost and the static, as the tool's --seed.
    EffectStream(const std::vector<std::uint8_t>& block, std::uint32_t sampleRate, std::uint32_t channels,
                 std::uint32_t blockFrames, const transmission::TransmissionSettings& transmission = {},
                 std::uint64_t seed = 0);
    EffectStream(const EffectStream&) = delete;
    EffectStream& operator=(const EffectStream&) = delete;

    // The whole input, tail included; `beforeBuffer` may stop it (answering false).
    std::vector<float> run(const float* interleaved, std::uint64_t frames,
                           const quarl::StreamRenderer::BeforeBuffer& beforeBuffer = {});

    // Input as it arrives: appends the output of every buffer now known not to be the last.
    void feed(const float* interleaved, std::uint64_t frames, std::vector<float>& out);
    // The rest: the last buffer, the tail and the playing on. The stream is over after it.
    void finish(std::vector<float>& out);

    // New settings, reaching the effect at its next buffer (as the host's updates do).
    void update(const std::vector<std::uint8_t>& block);

    std::uint32_t sampleRate() const { return m_sampleRate; }
    std::uint32_t channels() const { return m_channels; }
    std::uint32_t blockFrames() const { return m_blockFrames; }
    // Input frames fed and not handed out yet (in the effect's last buffer or the transmission).
    std::uint64_t pendingFrames() const { return m_framesIn > m_framesOut ? m_framesIn - m_framesOut : 0; }

private:
    void checkStatus(ZQ::Quarl::Result status) const;
    // The effect's output, through the transmission when there is one, appended to `out`.
    bool deliver(const float* interleaved, std::uint32_t frames, std::vector<float>& out);
    void finishTransmission(std::vector<float>& out);

    std::vector<std::uint8_t> m_block;
    std::uint32_t m_sampleRate;
    std::uint32_t m_channels;
    std::uint32_t m_blockFrames;
    quarl::HostAllocator m_allocator;
    quarl::ProcessingContext m_context{false};
    std::unique_ptr<quarl::EffectInstance> m_instance;
    std::unique_ptr<quarl::StreamRenderer> m_renderer;
    std::unique_ptr<transmission::Transmission> m_transmission; // none when inactive
    std::uint64_t m_framesIn = 0;
    std::uint64_t m_framesOut = 0;
};
