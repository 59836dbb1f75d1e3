#include "engine/stages/EqStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/Lanes.h"
#include "engine/stages/FiltersStage.h"

BiquadCoefs designEqSection(unsigned fs, const EqParams& p)
{
    const double x = static_cast<double>(p.q) * 0.01;
    switch (p.type)
    {
    case 0: return filters::HighPass2(fs, p.freq, passDamping(p.q));
    case 1: return filters::Peaking12(fs, p.freq, 9.0 * x * x + 1.0, p.gainDb);
    case 2: return filters::LowPass2(fs, p.freq, passDamping(p.q));
    default: return BiquadCoefs::identity();
    }
}

std::int32_t EqStage::setup(unsigned fs, const EqParams& p, bool bypass)
{
    const BiquadCoefs c = bypass ? BiquadCoefs::identity() : designEqSection(fs, p);
    BiquadSection loaded;
    loaded.load(c);
    for (auto& ch : memory)
        ch.section[0].load(c);
    return sixtyDbTail(filters::SectionDecay(loaded.a1, loaded.a2));
}

namespace
{
template <int L>
void runEq(EqStage& stage, unsigned first, float* const* data, unsigned frames)
{
    BiquadSection* sections[L];
    LaneIO<L> io;
    for (int l = 0; l < L; ++l)
    {
        sections[l] = stage.memory[first + l].section;
        io.p[l] = data[l];
    }
    runSections<0, 1, L>(sections, io, frames, [](F4 y, F4) { return y; });
}
} // namespace

void EqStage::process(unsigned channel, float* data, unsigned frames)
{
    runEq<1>(*this, channel, &data, frames);
}

void EqStage::processChannels(float* const* data, unsigned channels, unsigned frames)
{
    forLaneGroups(channels, [&](auto lanes, unsigned first) {
        runEq<decltype(lanes)::value>(*this, first, data + first, frames);
    });
}
