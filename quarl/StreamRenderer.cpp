#include "quarl/StreamRenderer.h"

#include <algorithm>
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

void StreamRenderer::playOnWhileRinging(RingOut ringOut)
{
    m_ringOut = std::move(ringOut);
}

RenderResult StreamRenderer::run(const Source& source, const Sink& sink, const BeforeBuffer& beforeBuffer)
{
    RenderResult result;
    AudioBuffer& buffer = m_storage.buffer();
    std::optional<RingOutWatch> watch;
    if (m_ringOut)
        watch.emplace(m_channels, m_ringOut->sampleRate, m_ringOut->limits);
    // Plays the buffer as it stands and hands on at most `keep` of its frames; the first
    // `programme` of them still carry the input.
    auto play = [&](std::uint32_t programme, std::uint32_t keep) -> bool {
        if (beforeBuffer && !beforeBuffer(result.buffers))
            return false;
        m_effect.Execute(buffer);
        ++result.buffers;
        if (buffer.state != Success && buffer.state != NoMoreData && buffer.state != DataReady &&
            result.status == Success)
            result.status = buffer.state;
        m_storage.readInterleaved(m_out.data());
        const std::uint32_t frames = std::min(buffer.validFrames, keep);
        if (watch)
        {
            const std::uint32_t input = std::min(programme, frames);
            watch->addProgramme(m_out.data(), input);
            watch->addAfterInput(m_out.data() + static_cast<std::size_t>(input) * m_channels, frames - input);
        }
        result.outputFrames += frames;
        return frames == 0 || sink(m_out.data(), frames);
    };

    // Read one buffer ahead so that the last buffer of the input can be marked as such.
    std::uint32_t frames = readFull(source, m_current.data());
    for (;;)
    {
        if (frames < m_blockFrames)
        {
            result.inputFrames += frames;
            m_storage.fillInterleaved(m_current.data(), frames, NoMoreData);
            if (!play(frames, m_blockFrames))
                return result;
            break;
        }
        const std::uint32_t nextFrames = readFull(source, m_next.data());
        const bool last = nextFrames == 0;
        result.inputFrames += frames;
        m_storage.fillInterleaved(m_current.data(), frames, last ? NoMoreData : Success);
        if (!play(frames, m_blockFrames))
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
        if (!play(0, m_blockFrames))
            return result;
    }
    result.effectTailFrames = result.outputFrames - std::min(result.outputFrames, result.inputFrames);
    if (watch)
    {
        playOn(*watch, result, play);
        result.tailEnd = watch->end();
        result.renderPeak = watch->renderPeak();
        result.endPeak = watch->endPeak();
    }
    return result;
}

void StreamRenderer::playOn(RingOutWatch& watch, RenderResult& result,
                            const std::function<bool(std::uint32_t, std::uint32_t)>& play)
{
    AudioBuffer& buffer = m_storage.buffer();
    while (!watch.ended(m_ringOut->floorRms))
    {
        if (result.ringOutFrames >= watch.capFrames())
        {
            watch.reachedCap();
            break;
        }
        // Silence in, as input that goes on rather than a tail.
        std::fill(buffer.data, buffer.data + static_cast<std::size_t>(m_channels) * m_blockFrames, 0.f);
        buffer.validFrames = m_blockFrames;
        buffer.state = Success;
        const auto keep = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(m_blockFrames, watch.capFrames() - result.ringOutFrames));
        const std::uint64_t before = result.outputFrames;
        const bool goOn = play(0, keep);
        result.ringOutFrames += result.outputFrames - before;
        if (!goOn || result.outputFrames == before || result.status != Success)
            return;
    }
}
} // namespace quarl
