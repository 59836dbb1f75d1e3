// A stage's channels on vector lanes: up to four channels' state and samples at once.
// Every stage runs its buffers through forEachLaneGroup; the stages made of biquad
// sections alone run them through runSectionsOfLanes, and those that step frame by frame
// through runFramesOfLanes.
#pragma once

#include "engine/simd/CascadeDispatch.h"
#include "engine/simd/Lanes.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/Stage.h"

#include <array>
#include <type_traits>

template <typename Channel, int L>
struct LaneGroup
{
    static constexpr int kLanes = L;

    unsigned first; // the channel in lane 0
    Channel* ch[L];
    LaneIO<L> io;

    // Fields of the lanes' channels as lanes, in the order asked (unused lanes read 0).
    template <typename... Fields>
    std::array<F4, sizeof...(Fields)> gather(Fields Channel::*... fields) const
    {
        return {gatherField(ch, fields)...};
    }

    // Writes lanes back: field, value, field, value...
    void scatter() const {}
    template <typename Field, typename... Rest>
    void scatter(Field Channel::*field, F4 value, Rest... rest) const
    {
        scatterField(ch, field, value);
        scatter(rest...);
    }

    // One biquad section of every lane's channel, and its memories written back.
    BiquadLanes section(BiquadSection Channel::*field) const
    {
        BiquadSection* s[L];
        sectionsOf(field, s);
        BiquadLanes lanes;
        lanes.gather(s);
        return lanes;
    }
    void scatterSection(BiquadSection Channel::*field, const BiquadLanes& lanes) const
    {
        BiquadSection* s[L];
        sectionsOf(field, s);
        lanes.scatter(s);
    }

private:
    void sectionsOf(BiquadSection Channel::*field, BiquadSection* (&s)[L]) const
    {
        for (int l = 0; l < L; ++l)
            s[l] = &(ch[l]->*field);
    }
};

// Channels first .. first + L - 1 of the block and of the stage's state.
template <int L, typename Channel>
LaneGroup<Channel, L> laneGroupOf(StageMemory<Channel>& memory, const ChannelBlock& block, unsigned first)
{
    LaneGroup<Channel, L> group;
    group.first = first;
    for (int l = 0; l < L; ++l)
    {
        group.ch[l] = &memory[first + l];
        group.io.p[l] = block.data[first + l];
    }
    return group;
}

// Calls run(group) for the block's channels, four at a time and then the rest together.
template <typename Channel, typename Run>
void forEachLaneGroup(StageMemory<Channel>& memory, const ChannelBlock& block, Run&& run)
{
    forLaneGroups(block.channels, [&](auto lanes, unsigned first) {
        auto group = laneGroupOf<decltype(lanes)::value>(memory, block, first);
        run(group);
    });
}

// Runs a stage that steps frame by frame, on the widest registers the processor has. For
// each lane group a stepper Frames<L> is made over it; prepare(0, frames) does what it can
// ahead of the frames, next(x) takes each frame's lanes in place, first to last, and
// finish() writes its state back.
template <template <int> class Frames, typename Channel>
void runFramesOfLanes(StageMemory<Channel>& memory, const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forEachLaneGroup(memory, block, [&](auto& lanes) {
            Frames<std::remove_reference_t<decltype(lanes)>::kLanes> frames(lanes);
            frames.prepare(0, block.frames);
            for (unsigned i = 0; i < block.frames; ++i)
                lanes.io.store(i, frames.next(lanes.io.load(i)));
            frames.finish();
        });
    });
}

// One step of a gate's or a ducker's gain toward its target: by `rising` of the distance
// when the target is above the gain, by `falling` otherwise; lowest tracks the smallest gain.
inline void followTarget(F4& gain, F4& lowest, F4 target, F4 rising, F4 falling)
{
    const F4 c = select(target > gain, rising, falling);
    gain = gain + c * (target - gain);
    lowest = min(gain, lowest);
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
