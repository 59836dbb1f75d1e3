#include "cli/render/ChunkConveyor.h"

#include <algorithm>

ChunkConveyor::ChunkConveyor(std::uint32_t channels, Consumer consumer, bool aside)
    : m_channels(channels), m_consumer(std::move(consumer)), m_aside(aside)
{
    if (!m_aside)
        return;
    const std::size_t samples = static_cast<std::size_t>(kChunkFrames) * channels;
    m_filling.resize(samples);
    for (std::size_t i = 1; i < kChunks; ++i)
        m_free.emplace_back(samples);
    m_worker = std::thread([this] { consumeChunks(); });
}

ChunkConveyor::~ChunkConveyor()
{
    if (!m_worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
        m_queued.clear();
    }
    m_changed.notify_all();
    m_worker.join();
}

void ChunkConveyor::add(const float* interleaved, std::uint32_t frames)
{
    if (!m_aside)
    {
        m_consumer(interleaved, frames);
        return;
    }
    std::size_t samples = static_cast<std::size_t>(frames) * m_channels;
    while (samples > 0)
    {
        const std::size_t n = std::min(samples, m_filling.size() - m_filled);
        std::copy(interleaved, interleaved + n, m_filling.data() + m_filled);
        m_filled += n;
        interleaved += n;
        samples -= n;
        if (m_filled == m_filling.size())
            handOver();
    }
}

void ChunkConveyor::handOver()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [this] { return !m_free.empty(); });
    m_filling.resize(m_filled);
    m_queued.push_back(std::move(m_filling));
    m_filling = std::move(m_free.back());
    m_free.pop_back();
    m_filling.resize(static_cast<std::size_t>(kChunkFrames) * m_channels);
    m_filled = 0;
    lock.unlock();
    m_changed.notify_all();
}

void ChunkConveyor::consumeChunks()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;)
    {
        m_changed.wait(lock, [this] { return m_stopping || !m_queued.empty(); });
        if (m_queued.empty())
            return;
        std::vector<float> chunk = std::move(m_queued.front());
        m_queued.pop_front();
        ++m_busy;
        lock.unlock();
        m_consumer(chunk.data(), static_cast<std::uint32_t>(chunk.size() / m_channels));
        lock.lock();
        --m_busy;
        m_free.push_back(std::move(chunk));
        m_changed.notify_all();
    }
}

void ChunkConveyor::drain()
{
    if (!m_aside)
        return;
    if (m_filled > 0)
        handOver();
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [this] { return m_queued.empty() && m_busy == 0; });
}
