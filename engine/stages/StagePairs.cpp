#include "engine/stages/StagePairs.h"

#include "engine/simd/WideRegisters.h"
#include "engine/stages/DistortionFrames.h"
#include "engine/stages/GateFrames.h"
#include "engine/stages/LoFiFrames.h"

void runTogether(GateStage& gate, LoFiStage& lofi, const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forLaneGroups(block.channels, [&](auto lanes, unsigned first) {
            constexpr int L = decltype(lanes)::value;
            const auto gateLanes = laneGroupOf<L>(gate.memory, block, first);
            const auto lofiLanes = laneGroupOf<L>(lofi.memory, block, first);
            GateFrames<L> gated(gateLanes);
            LoFiFrames<L> reduced(lofiLanes);
            // In chunks, in place: one loop gates a chunk while lo-fi holds and filters the
            // chunk before it (already on its grid), so that the two recursions overlap.
            constexpr unsigned kChunk = 64;
            const unsigned frames = block.frames;
            for (unsigned start = 0, previous = 0; previous < frames; previous = start, start += kChunk)
            {
                const unsigned gateEnd = start + kChunk < frames ? start + kChunk : frames;
                const unsigned lofiEnd = start < frames ? start : frames;
                unsigned g = start, q = previous;
                for (; g < gateEnd && q < lofiEnd; ++g, ++q)
                {
                    gateLanes.io.store(g, gated.next(gateLanes.io.load(g)));
                    lofiLanes.io.store(q, reduced.next(lofiLanes.io.load(q)));
                }
                for (; g < gateEnd; ++g)
                    gateLanes.io.store(g, gated.next(gateLanes.io.load(g)));
                for (; q < lofiEnd; ++q)
                    lofiLanes.io.store(q, reduced.next(lofiLanes.io.load(q)));
                if (start < frames)
                    reduced.prepare(start, gateEnd - start);
            }
            gated.finish();
            reduced.finish();
        });
    });
}

namespace
{
// One biquad section of each lane's channel, frame by frame, in place.
template <int L>
struct SectionAfterDistortion
{
    static constexpr bool kRuns = true;
    LaneIO<L> io;
    BiquadLanes section;

    void frame(unsigned i) { io.store(i, section.tick(io.load(i))); }
};
} // namespace

void runTogether(DistortionStage& distortion, EqStage& eq, const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forLaneGroups(block.channels, [&](auto lanes, unsigned first) {
            constexpr int L = decltype(lanes)::value;
            auto distortionLanes = laneGroupOf<L>(distortion.memory, block, first);
            const auto eqLanes = laneGroupOf<L>(eq.memory, block, first);
            BiquadSection* sections[L];
            for (int l = 0; l < L; ++l)
                sections[l] = &eqLanes.ch[l]->sections[0];
            SectionAfterDistortion<L> equalised{eqLanes.io, {}};
            equalised.section.gather(sections);
            runDistortion(distortionLanes, block.frames, equalised);
            equalised.section.scatter(sections);
        });
    });
}
