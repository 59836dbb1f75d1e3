#include "engine/stages/EqStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/StageLanes.h"

BiquadCoefs designEqSection(unsigned fs, const EqParams& p)
{
    switch (p.type)
    {
    case 0: return filters::HighPass2(fs, p.freq, filters::passDamping(p.q));
    case 1: return filters::Peaking12(fs, p.freq, filters::eqPeakingQ(p.q), p.gainDb);
    case 2: return filters::LowPass2(fs, p.freq, filters::passDamping(p.q));
    default: return BiquadCoefs::identity();
    }
}

void EqStage::setup(unsigned fs, const EqParams& p)
{
    const BiquadCoefs c = designEqSection(fs, p);
    BiquadSection loaded;
    loaded.load(c);
    for (auto& ch : memory)
        ch.sections[0].load(c);
    m_tail = sixtyDbTail(filters::SectionDecay(loaded.a1, loaded.a2));
}

void EqStage::processChannels(const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forEachLaneGroup(memory, block, [&](auto& lanes) { runSectionsOfLanes<1>(lanes, block.frames, CascadeOutput{}); });
    });
}
