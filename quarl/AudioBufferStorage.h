// Channel-major sample storage behind an AudioBuffer, as the host hands buffers over.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quarl
{
class AudioBufferStorage
{
public:
    AudioBufferStorage(std::uint32_t channels, std::uint32_t maxFrames)
        : m_samples(static_cast<std::size_t>(channels) * maxFrames, 0.f)
    {
        m_buffer.channelCount = channels;
        m_buffer.maxFrames = maxFrames;
        m_buffer.data = m_samples.data();
    }

    ZQ::Quarl::AudioBuffer& buffer() { return m_buffer; }
    float* channel(std::uint32_t c) { return m_buffer.channel(c); }

    // Copies interleaved frames in and sets the valid count and state.
    void fillInterleaved(const float* interleaved, std::uint32_t frames, ZQ::Quarl::Result state)
    {
        const std::uint32_t n = m_buffer.channelCount;
        if (n == 1)
            std::copy(interleaved, interleaved + frames, channel(0)); // one channel: one copy
        else
            for (std::uint32_t c = 0; c < n; ++c)
            {
                float* dst = channel(c);
                for (std::uint32_t i = 0; i < frames; ++i)
                    dst[i] = interleaved[static_cast<std::size_t>(i) * n + c];
            }
        m_buffer.validFrames = frames;
        m_buffer.state = state;
    }

    // Copies the valid frames out, interleaved.
    void readInterleaved(float* interleaved) const
    {
        const std::uint32_t n = m_buffer.channelCount;
        if (n == 1)
        {
            std::copy(m_buffer.channel(0), m_buffer.channel(0) + m_buffer.validFrames, interleaved);
            return;
        }
        for (std::uint32_t c = 0; c < n; ++c)
        {
            const float* src = m_buffer.channel(c);
            for (std::uint32_t i = 0; i < m_buffer.validFrames; ++i)
                interleaved[static_cast<std::size_t>(i) * n + c] = src[i];
        }
    }

private:
    std::vector<float> m_samples;
    ZQ::Quarl::AudioBuffer m_buffer;
};
} // namespace quarl
