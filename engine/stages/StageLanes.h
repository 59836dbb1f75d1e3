// A stage's channels on vector lanes: up to four channels' state and samples at once.
// Every stage runs its buffers through forEachLaneGroup; the stages made of biquad
// sections alone run them through runSectionsOfLanes.
#pragma once

#include "engine/simd/CascadeDispatch.h"
#include "engine/simd/Lanes.h"
#include "engine/stages/Stage.h"

template <typename Channel, int L>
struct LaneGroup
{
    unsigned first; // the channel in lane 0
    Channel* ch[L];
    LaneIO<L> io;
};

// Calls run(group) for the block's channels, four at a time and then the rest together.
template <typename Channel, typename Run>
void forEachLaneGroup(StageMemory<Channel>& memory, const ChannelBlock& block, Run&& run)
{
    forLaneGroups(block.channels, [&](auto lanes, unsigned first) {
        constexpr int L = decltype(lanes)::value;
        LaneGroup<Channel, L> group;
        group.first = first;
        for (int l = 0; l < L; ++l)
        {
            group.ch[l] = &memory[first + l];
            group.io.p[l] = block.data[first + l];
        }
        run(group);
    });
}

// The K sections of each lane's channel (Channel::sections) in series on its samples, the
// output scaled when `output` says so. Blocks long enough run on the skewed cascade; a
// single section gains nothing from it.
template <int K, typename Channel, int L>
void runSectionsOfLanes(LaneGroup<Channel, L>& group, unsigned frames, const CascadeOutput& output)
{
    BiquadSection* sections[L];
    for (int l = 0; l < L; ++l)
        sections[l] = group.ch[l]->sections;
    if (K > 1 && frames >= kSkewedCascadeMinFrames)
        return runCascade(K, L, sections, group.io.p, frames, output);
    if (!output.scaled)
        return runSections<K, L>(sections, group.io, frames, [](F4 y) { return y; });
    const F4 gain(output.gain);
    runSections<K, L>(sections, group.io, frames, [gain](F4 y) { return y * gain; });
}
