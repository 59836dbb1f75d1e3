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

void StreamRenderer::playOnWhileRinging(RingOut ringOut)
{
    m_ringOut = std::move(ringOut);
}

RenderResult StreamRenderer::run(const Source& source, const Sink& sink, const BeforeBuffer& beforeBuffer)
{
    begin(beforeBuffer);
    // The source writes straight into the buffers; a source may deliver less than asked
    // before its end, so it is asked until it answers 0.
    for (;;)
    {
        std::uint32_t room = 0;
        float* into = inputSpace(room);
        const std::uint32_t frames = source(into, room);
        if (frames == 0)
            break;
        if (!accept(frames, sink))
            return m_result;
    }
    return finish(sink);
}

void StreamRenderer::begin(const BeforeBuffer& beforeBuffer)
{
    m_beforeBuffer = beforeBuffer;
    m_result = {};
    m_currentFrames = 0;
    m_stopped = false;
    m_watch.reset();
    if (m_ringOut)
        m_watch.emplace(m_channels, m_ringOut->sampleRate, m_ringOut->limits);
}

bool StreamRenderer::feed(const float* interleaved, std::uint32_t frames, const Sink& sink)
{
    while (frames > 0 && !m_stopped)
    {
        std::uint32_t room = 0;
        float* into = inputSpace(room);
        const std::uint32_t n = std::min(room, frames);
        std::copy_n(interleaved, static_cast<std::size_t>(n) * m_channels, into);
        interleaved += static_cast<std::size_t>(n) * m_channels;
        frames -= n;
        accept(n, sink);
    }
    return !m_stopped;
}

float* StreamRenderer::inputSpace(std::uint32_t& room)
{
    if (m_currentFrames < m_blockFrames)
    {
        room = m_blockFrames - m_currentFrames;
        return m_current.data() + static_cast<std::size_t>(m_currentFrames) * m_channels;
    }
    room = m_blockFrames;
    return m_next.data();
}

bool StreamRenderer::accept(std::uint32_t frames, const Sink& sink)
{
    if (m_currentFrames < m_blockFrames)
    {
        m_currentFrames += frames;
        return true;
    }
    // More input follows the full buffer: it is not the last.
    m_result.inputFrames += m_blockFrames;
    m_storage.fillInterleaved(m_current.data(), m_blockFrames, Success);
    if (!play(m_blockFrames, m_blockFrames, sink))
        return false;
    std::swap(m_current, m_next);
    m_currentFrames = frames;
    return true;
}

bool StreamRenderer::play(std::uint32_t programme, std::uint32_t keep, const Sink& sink)
{
    AudioBuffer& buffer = m_storage.buffer();
    if (m_beforeBuffer && !m_beforeBuffer(m_result.buffers))
        return !(m_stopped = true);
    m_effect.Execute(buffer);
    ++m_result.buffers;
    if (buffer.state != Success && buffer.state != NoMoreData && buffer.state != DataReady &&
        m_result.status == Success)
        m_result.status = buffer.state;
    m_storage.readInterleaved(m_out.data());
    const std::uint32_t frames = std::min(buffer.validFrames, keep);
    if (m_watch)
    {
        const std::uint32_t input = std::min(programme, frames);
        m_watch->addProgramme(m_out.data(), input);
        m_watch->addAfterInput(m_out.data() + static_cast<std::size_t>(input) * m_channels, frames - input);
    }
    m_result.outputFrames += frames;
    if (frames != 0 && !sink(m_out.data(), frames))
        m_stopped = true;
    return !m_stopped;
}

RenderResult StreamRenderer::finish(const Sink& sink)
{
    if (m_stopped)
        return m_result;
    // The last buffer of the input, full or not (or empty, for an input of no frames).
    AudioBuffer& buffer = m_storage.buffer();
    const std::uint32_t last = m_currentFrames;
    m_currentFrames = 0;
    m_result.inputFrames += last;
    m_storage.fillInterleaved(m_current.data(), last, NoMoreData);
    if (!play(last, m_blockFrames, sink))
        return m_result;
    // The tail: empty buffers while the effect has more to give.
    for (std::uint64_t n = 0; buffer.state == DataReady && n < kMaxTailBuffers; ++n)
    {
        buffer.validFrames = 0;
        buffer.state = NoMoreData;
        if (!play(0, m_blockFrames, sink))
            return m_result;
    }
    m_result.effectTailFrames = m_result.outputFrames - std::min(m_result.outputFrames, m_result.inputFrames);
    if (m_watch)
    {
        playOn(sink);
        m_result.tailEnd = m_watch->end();
        m_result.renderPeak = m_watch->renderPeak();
        m_result.endPeak = m_watch->endPeak();
    }
    return m_result;
}

void StreamRenderer::playOn(const Sink& sink)
{
    AudioBuffer& buffer = m_storage.buffer();
    RingOutWatch& watch = *m_watch;
    while (!watch.ended(m_ringOut->floorRms))
    {
        if (m_result.ringOutFrames >= watch.capFrames())
        {
            watch.reachedCap();
            break;
        }
        // Silence in, as input that goes on rather than a tail.
        std::fill(buffer.data, buffer.data + static_cast<std::size_t>(m_channels) * m_blockFrames, 0.f);
        buffer.validFrames = m_blockFrames;
        buffer.state = Success;
        const auto keep = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(m_blockFrames, watch.capFrames() - m_result.ringOutFrames));
        const std::uint64_t before = m_result.outputFrames;
        const bool goOn = play(0, keep, sink);
        m_result.ringOutFrames += m_result.outputFrames - before;
        if (!goOn || m_result.outputFrames == before || m_result.status != Success)
            return;
    }
}
} // namespace quarl
