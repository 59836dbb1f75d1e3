// A LevelMeter that can measure on a thread of its own (see ChunkConveyor), so that metering
// overlaps a render's reading, processing and writing. The figures are those of a plain
// LevelMeter given the same samples in the same order.
#pragma once

#include "cli/render/ChunkConveyor.h"
#include "cli/metering/LevelMeter.h"

class PipelinedLevelMeter
{
public:
    // With `aside` false, everything happens in add() as with a plain LevelMeter.
    PipelinedLevelMeter(std::uint32_t channels, std::uint32_t sampleRate, LevelMeter::Measure measure, bool aside)
        : m_meter(channels, sampleRate, measure),
          m_conveyor(channels, [this](const float* x, std::uint32_t frames) { m_meter.add(x, frames); }, aside)
    {
    }

    void add(const float* interleaved, std::uint32_t frames) { m_conveyor.add(interleaved, frames); }

    // Waits for every sample given so far to be measured.
    Levels levels()
    {
        m_conveyor.drain();
        return m_meter.levels();
    }

private:
    LevelMeter m_meter;
    ChunkConveyor m_conveyor; // after the meter: stopped before it goes
};
