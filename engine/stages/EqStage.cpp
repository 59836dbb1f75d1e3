#include "engine/stages/EqStage.h"

#include "engine/filters/FilterDesign.h"
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
    return static_cast<std::int32_t>(filters::SectionDecay(loaded.a1, loaded.a2) * 6.91);
}
