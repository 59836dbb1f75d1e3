#include "engine/stages/FiltersStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/StageLanes.h"

#include <algorithm>

void FiltersStage::setup(unsigned fs, const FiltersParams& p)
{
    const BiquadCoefs hp1 = filters::HighPass2(fs, p.hpfFreq, filters::passDamping(p.hpfQ));
    const BiquadCoefs hp2 = p.hpfSlope == 1 ? hp1 : BiquadCoefs::identity();
    const BiquadCoefs lp1 = filters::LowPass2(fs, p.lpfFreq, filters::passDamping(p.lpfQ));
    const BiquadCoefs lp2 = p.lpfSlope == 1 ? lp1 : BiquadCoefs::identity();
    const BiquadCoefs designs[4] = {hp1, hp2, lp1, lp2};
    BiquadSection loaded[4];
    for (int k = 0; k < 4; ++k)
        loaded[k].load(designs[k]);
    for (auto& ch : memory)
        for (int k = 0; k < 4; ++k)
            ch.sections[k].load(designs[k]);

    // The slower side rings longest; doubled by its slope, it rings longer still.
    auto decay = [&loaded](int k) { return filters::SectionDecay(loaded[k].a1, loaded[k].a2); };
    const double r = std::max(decay(0), decay(2));
    const bool doubled = r == decay(1) || r == decay(3);
    m_tail = sixtyDbTail(doubled ? r * kDoubledSectionTimeConstants : r);
}

void FiltersStage::processChannels(const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forEachLaneGroup(memory, block, [&](auto& lanes) { runSectionsOfLanes<4>(lanes, block.frames, CascadeOutput{}); });
    });
}
