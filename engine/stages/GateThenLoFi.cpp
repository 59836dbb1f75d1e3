#include "engine/stages/GateThenLoFi.h"

#include "engine/stages/GateKernel.h"
#include "engine/stages/LoFiKernel.h"

void runGateThenLoFi(GateStage& gate, LoFiStage& lofi, float* const* data, unsigned channels, unsigned frames)
{
    forLaneGroups(channels, [&](auto lanes, unsigned first) {
        constexpr int L = decltype(lanes)::value;
        LaneIO<L> io;
        for (int l = 0; l < L; ++l)
            io.p[l] = data[first + l];
        GateKernel<L> gated(gate, first);
        LoFiKernel<L> reduced(lofi, first);
        for (unsigned i = 0; i < frames; ++i)
            io.store(i, reduced.tick(gated.tick(io.load(i))));
        gated.finish();
        reduced.finish();
    });
}
