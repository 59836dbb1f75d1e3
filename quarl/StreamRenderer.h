// Runs an effect over a stream the way the host's sound engine does: full buffers while
// input lasts, the last one marked as the end of input, then empty buffers for as long
// as the effect reports more data (its tail).
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "quarl/AudioBufferStorage.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace quarl
{
struct RenderResult
{
    ZQ::Quarl::Result status = ZQ::Quarl::Success; // the first error state an effect reported
    std::uint64_t inputFrames = 0;
    std::uint64_t outputFrames = 0;
    std::uint64_t buffers = 0;
};

class StreamRenderer
{
public:
    // Fills up to `frames` interleaved frames; returns how many (0 at the end).
    using Source = std::function<std::uint32_t(float* interleaved, std::uint32_t frames)>;
    // Takes `frames` interleaved frames of output; false stops the render.
    using Sink = std::function<bool(const float* interleaved, std::uint32_t frames)>;
    // Called before each buffer; answers false to stop.
    using BeforeBuffer = std::function<bool(std::uint64_t bufferIndex)>;

    StreamRenderer(ZQ::Quarl::IEffectPlugin& effect, std::uint32_t channels, std::uint32_t blockFrames);

    RenderResult run(const Source& source, const Sink& sink, const BeforeBuffer& beforeBuffer = {});

    // Upper bound on the empty buffers played after the input, against a tail that never ends.
    static constexpr std::uint64_t kMaxTailBuffers = 1u << 20;

private:
    std::uint32_t readFull(const Source& source, float* into);

    ZQ::Quarl::IEffectPlugin& m_effect;
    std::uint32_t m_channels;
    std::uint32_t m_blockFrames;
    AudioBufferStorage m_storage;
    std::vector<float> m_current, m_next, m_out;
};
} // namespace quarl
