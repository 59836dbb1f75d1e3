// Hands interleaved samples to a consumer, either at once or on a thread of its own: the
// samples given to add() are then copied into large chunks and passed through a short
// queue, so that the consumer's work overlaps the producer's. Either way the consumer sees
// every sample, in order, once.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ChunkConveyor
{
public:
    using Consumer = std::function<void(const float* interleaved, std::uint32_t frames)>;

    // With `aside` false, add() calls the consumer itself.
    ChunkConveyor(std::uint32_t channels, Consumer consumer, bool aside);
    // Drops what is still queued: a conveyor abandoned midway (an error, an interruption)
    // does not finish the consumer's work.
    ~ChunkConveyor();
    ChunkConveyor(const ChunkConveyor&) = delete;
    ChunkConveyor& operator=(const ChunkConveyor&) = delete;

    void add(const float* interleaved, std::uint32_t frames);

    // Returns once the consumer has seen every sample given so far.
    void drain();

    static constexpr std::uint32_t kChunkFrames = 16384;
    static constexpr std::size_t kChunks = 4; // bounds the memory and how far the consumer lags

private:
    void handOver();
    void consumeChunks();

    std::uint32_t m_channels;
    Consumer m_consumer;
    bool m_aside;

    std::vector<float> m_filling; // the chunk add() copies into
    std::size_t m_filled = 0;     // samples in it

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::vector<float>> m_queued; // full chunks, oldest first
    std::vector<std::vector<float>> m_free;  // chunks to fill again
    std::size_t m_busy = 0;                  // chunks taken off the queue, being consumed
    bool m_stopping = false;
    std::thread m_worker;
};
