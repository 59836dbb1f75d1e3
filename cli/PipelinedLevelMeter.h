// A LevelMeter that can measure on a thread of its own: the samples given to add() are
// copied into large chunks and handed over through a short queue, so that metering one
// render overlaps its reading, processing and writing. The figures are those of a plain
// LevelMeter given the same samples in the same order.
#pragma once

#include "cli/LevelMeter.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class PipelinedLevelMeter
{
public:
    // With `aside` false, everything happens in add() as with a plain LevelMeter.
    PipelinedLevelMeter(std::uint32_t channels, std::uint32_t sampleRate, LevelMeter::Measure measure, bool aside);
    ~PipelinedLevelMeter();
    PipelinedLevelMeter(const PipelinedLevelMeter&) = delete;
    PipelinedLevelMeter& operator=(const PipelinedLevelMeter&) = delete;

    void add(const float* interleaved, std::uint32_t frames);

    // Waits for every sample given so far to be measured.
    Levels levels();

    static constexpr std::uint32_t kChunkFrames = 16384;
    static constexpr std::size_t kChunks = 4; // bounds the memory and how far the meter lags

private:
    void handOver();
    void measureChunks();

    LevelMeter m_meter;
    std::uint32_t m_channels;
    bool m_aside;

    std::vector<float> m_filling; // the chunk add() copies into
    std::size_t m_filled = 0;     // samples in it

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::vector<float>> m_queued; // full chunks, oldest first
    std::vector<std::vector<float>> m_free;  // chunks to fill again
    std::size_t m_busy = 0;                  // chunks taken off the queue, being measured
    bool m_stopping = false;
    std::thread m_worker;
};
