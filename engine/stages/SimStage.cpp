#include "engine/stages/SimStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/StageLanes.h"

#include <algorithm>

double simLevelToGain(double level)
{
    return level < 0.0 ? dbToGain(level) : level;
}

std::int32_t SimTailLength(const BiquadSection (&sections)[kSimSectionCount])
{
    double slowest = 0.0;
    for (const auto& s : sections)
        slowest = std::max(slowest, filters::SectionDecay(s.a1, s.a2));
    return sixtyDbTail(slowest);
}

void SimStage::setup(unsigned fs, const SimParams& p)
{
    BiquadCoefs designed[kSimSectionCount];
    SimModelSections(fs, p.type, static_cast<double>(p.tuning) * 0.01, designed);

    Channel loaded;
    for (int k = 0; k < kSimSectionCount; ++k)
        loaded.sections[k].load(designed[k]);
    for (auto& ch : memory)
        for (int k = 0; k < kSimSectionCount; ++k)
            ch.sections[k].load(designed[k]);

    m_wet = static_cast<float>(simLevelToGain(SimModelLevel(p.type)));
    m_tail = SimTailLength(loaded.sections);
}

void SimStage::processChannels(const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forEachLaneGroup(memory, block, [&](auto& lanes) {
            runSectionsOfLanes<kSimSectionCount>(lanes, block.frames, CascadeOutput{true, m_wet});
        });
    });
}

