#include "engine/stages/FiltersStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/CascadeDispatch.h"
#include "engine/simd/Lanes.h"

#include <algorithm>
#include <cmath>

double passDamping(float qPercent)
{
    const double x = static_cast<double>(qPercent) * 0.01;
    return 1.414 - (x > 0.0 ? std::sqrt(x) : 0.0) * 1.1312;
}

std::int32_t FiltersStage::setup(unsigned fs, const FiltersParams& p, bool bypass)
{
    BiquadCoefs hp1, hp2, lp1, lp2;
    if (!bypass)
    {
        hp1 = filters::HighPass2(fs, p.hpfFreq, passDamping(p.hpfQ));
        if (p.hpfSlope == 1)
            hp2 = hp1;
        lp1 = filters::LowPass2(fs, p.lpfFreq, passDamping(p.lpfQ));
        if (p.lpfSlope == 1)
            lp2 = lp1;
    }
    for (auto& ch : memory)
    {
        ch.sections[0].load(hp1);
        ch.sections[1].load(hp2);
        ch.sections[2].load(lp1);
        ch.sections[3].load(lp2);
    }

    BiquadSection loaded[4];
    loaded[0].load(hp1);
    loaded[1].load(hp2);
    loaded[2].load(lp1);
    loaded[3].load(lp2);
    const double r = std::max(filters::SectionDecay(loaded[0].a1, loaded[0].a2),
                              filters::SectionDecay(loaded[2].a1, loaded[2].a2));
    const bool doubled = r == filters::SectionDecay(loaded[1].a1, loaded[1].a2) ||
                         r == filters::SectionDecay(loaded[3].a1, loaded[3].a2);
    return sixtyDbTail(doubled ? r * kDoubledSectionTimeConstants : r);
}

void FiltersStage::resetChannel(unsigned channel)
{
    for (auto& s : memory[channel].sections)
        s.clearMemory();
}

namespace
{
template <int L>
void runFilters(FiltersStage& stage, unsigned first, float* const* data, unsigned frames)
{
    BiquadSection* sections[L];
    LaneIO<L> io;
    for (int l = 0; l < L; ++l)
    {
        sections[l] = stage.memory[first + l].sections;
        io.p[l] = data[l];
    }
    if (frames >= kSkewedCascadeMinFrames)
        return runCascade(4, L, sections, io.p, frames, CascadeOutput{});
    runSections<0, 4, L>(sections, io, frames, [](F4 y, F4) { return y; });
}
} // namespace

void FiltersStage::process(unsigned channel, float* data, unsigned frames)
{
    runFilters<1>(*this, channel, &data, frames);
}

void FiltersStage::processChannels(float* const* data, unsigned channels, unsigned frames)
{
    forLaneGroups(channels, [&](auto lanes, unsigned first) {
        runFilters<decltype(lanes)::value>(*this, first, data + first, frames);
    });
}
