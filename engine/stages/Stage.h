// What every stage of the chain is. Its state is one Channel per channel, taken from the
// host's allocator while the stage is on (allocate, release). A set-up turns its parameter
// group (Params) into that state and, for stages that ring on, the tail length; it runs
// when the group changed. processChannels runs a buffer's channels in place; resetChannel
// starts one channel afresh (Channel::restart says what that clears). A stage may also ask
// for working memory per buffer, take the peak of its input into a meter slot and write
// meter values of its own.
//
// A stage derives from Stage<Channel, Params>, which holds the state and the defaults for
// the optional parts, and declares
//     void setup(unsigned sampleRate, const Params& p);
//     void processChannels(const ChannelBlock& block);
// The processor keeps its stages in one ordered list (EngineStages) and walks it.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "engine/BiquadSection.h"
#include "engine/MeterSlots.h"
#include "engine/stages/StageMemory.h"

#include <cstddef>
#include <cstdint>

// One buffer as a stage sees it: data[c] holds channel c's `frames` samples, changed in
// place; scratch is the working memory the stage asked for (null when it asked for none).
struct ChannelBlock
{
    float* const* data;
    unsigned channels;
    unsigned frames;
    float* scratch = nullptr;
};

// The state of a stage made of N biquad sections in series.
template <int N>
struct SectionsChannel
{
    static constexpr int kSections = N;
    BiquadSection sections[N];

    void restart()
    {
        for (auto& s : sections)
            s.clearMemory();
    }
};

template <typename ChannelState, typename ParameterGroup>
class Stage
{
public:
    using Channel = ChannelState;
    using Params = ParameterGroup;

    // False when the host has no memory; the stage is then left without state.
    bool allocate(ZQ::Quarl::IAllocator* allocator, unsigned channels) { return memory.allocate(allocator, channels); }
    void release(ZQ::Quarl::IAllocator* allocator) { memory.release(allocator); }
    bool present() const { return memory.present(); }
    void resetChannel(unsigned channel) { memory[channel].restart(); }

    // Samples the stage rings on after its input ends, as its last set-up found them.
    std::int32_t tail() const { return m_tail; }

    // Floats of working memory for a buffer of `samples` samples over all channels.
    static constexpr std::size_t scratchFloats(std::size_t /*samples*/) { return 0; }

    // The meter slot that takes the peak of the stage's input, whether or not the stage
    // runs; -1 for none.
    static constexpr int kInputPeakMeter = -1;

    // Writes the stage's own meter values of a channel after the buffer.
    void readMeters(unsigned /*channel*/, float (&/*meters*/)[kMetersPerChannel]) {}

    StageMemory<Channel> memory;

protected:
    std::int32_t m_tail = 0;
};
