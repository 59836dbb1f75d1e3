#include "engine/stages/SimStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/CascadeDispatch.h"
#include "engine/simd/Lanes.h"

#include <algorithm>
#include <cmath>

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

std::int32_t SimStage::setup(unsigned fs, const SimParams& p, bool bypass)
{
    BiquadCoefs designed[kSimSectionCount];
    SimModelSections(fs, p.type, static_cast<double>(p.tuning) * 0.01, designed);

    Channel loaded;
    for (int k = 0; k < kSimSectionCount; ++k)
        loaded.sections[k].load(designed[k]);
    for (auto& ch : memory)
        for (int k = 0; k < kSimSectionCount; ++k)
            ch.sections[k].load(designed[k]);

    m_wet = bypass ? 0.f : static_cast<float>(simLevelToGain(SimModelLevel(p.type)));
    m_dry = bypass ? 1.f : 0.f;
    return SimTailLength(loaded.sections);
}

namespace
{
template <int L>
void runSim(SimStage& stage, unsigned first, float* const* data, unsigned frames)
{
    BiquadSection* sections[L];
    LaneIO<L> io;
    for (int l = 0; l < L; ++l)
    {
        sections[l] = stage.memory[first + l].sections;
        io.p[l] = data[l];
    }
    if (frames >= kSkewedCascadeMinFrames)
        return runCascade(kSimSectionCount, L, sections, io.p, frames,
                          CascadeOutput{true, stage.wetGain(), stage.dryGain()});
    const F4 wet(stage.wetGain()), dry(stage.dryGain());
    runSections<0, kSimSectionCount, L>(sections, io, frames, [wet, dry](F4 y, F4 x) { return y * wet + x * dry; });
}
} // namespace

void SimStage::process(unsigned channel, float* data, unsigned frames)
{
    runSim<1>(*this, channel, &data, frames);
}

void SimStage::processChannels(float* const* data, unsigned channels, unsigned frames)
{
    forLaneGroups(channels, [&](auto lanes, unsigned first) {
        runSim<decltype(lanes)::value>(*this, first, data + first, frames);
    });
}

void SimStage::resetChannel(unsigned channel)
{
    for (auto& s : memory[channel].sections)
        s.clearMemory();
}
