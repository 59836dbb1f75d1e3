#include "quarl/StreamRenderer.h"

#include <utility>

using namespace ZQ::Quarl;

namespace quarl
{
StreamRenderer::StreamRenderer(IEffectPlugin& effect, std::uint32_t channels, std::uint32_t blockFrames)
    : m_effect(effect), m_channels(channels), m_blockFrames(blockFrames), m_storage(channels, blockFrames),
      m_current(static_cast<std::size_t>(channels) * blockFrames), m_next(m_current.size()), m_out(m_current.size())
{
}

std::uint32_t StreamRenderer::readFull(const Source& source, float* into)
{
    // A source may deliver less than asked before its end; keep asking until full or done.
    std::uint32_t got = 0;
    while (got < m_blockFrames)
    {
        const std::uint32_t n = source(into + static_cast<std::size_t>(got) * m_channels, m_blockFrames - got);
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

RenderResult StreamRenderer::run(const Source& source, const Sink& sink, const BeforeBuffer& beforeBuffer)
{
    RenderResult result;
    AudioBuffer& buffer = m_storage.buffer();
    auto play = [&]() -> bool {
        if (beforeBuffer && !beforeBuffer(result.buffers))
            return false;
        m_effect.Execute(buffer);
        ++result.buffers;
        if (buffer.state != Success && buffer.state != NoMoreData && buffer.state != DataReady &&
            result.status == Success)
            result.status = buffer.state;
        m_storage.readInterleaved(m_out.data());
        result.outputFrames += buffer.validFrames;
        return buffer.validFrames == 0 || sink(m_out.data(), buffer.validFrames);
    };

    // Read one buffer ahead so that the last buffer of the input can be marked as such.
    std::uint32_t frames = readFull(source, m_current.data());
    for (;;)
    {
        if (frames < m_blockFrames)
        {
            result.inputFrames += frames;
            m_storage.fillInterleaved(m_current.data(), frames, NoMoreData);
            if (!play())
                return result;
            break;
        }
        const std::uint32_t nextFrames = readFull(source, m_next.data());
        const bool last = nextFrames == 0;
        result.inputFrames += frames;
        m_storage.fillInterleaved(m_current.data(), frames, last ? NoMoreData : Success);
        if (!play())
            return result;
        if (last)
            break;
        std::swap(m_current, m_next);
        frames = nextFrames;
    }
    // The tail: empty buffers while the effect has more to give.
    for (std::uint64_t n = 0; buffer.state == DataReady && n < kMaxTailBuffers; ++n)
    {
        buffer.validFrames = 0;
        buffer.state = NoMoreData;
        if (!play())
            return result;
    }
    return result;
}
} // namespace quarl
