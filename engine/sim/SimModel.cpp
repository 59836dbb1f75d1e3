#include "engine/sim/SimModel.h"

#include "engine/filters/FilterDesign.h"

namespace
{
BiquadCoefs designSection(unsigned fs, const SimSection& s, double tuning)
{
    const double f = s.tuning == Tuning::Tuned ? tuning * s.frequency : s.frequency;
    switch (s.kind)
    {
    case SimKind::HighPass1: return filters::HighPass1(fs, f);
    case SimKind::LowPass1: return filters::LowPass1(fs, f);
    case SimKind::HighPass2: return filters::HighPass2(fs, f, s.arg1);
    case SimKind::LowPass2: return filters::LowPass2(fs, f, s.arg1);
    case SimKind::Peaking: return filters::Peaking(fs, f, s.arg1, s.arg2);
    case SimKind::LowShelf: return filters::LowShelf(fs, f, s.arg1, s.arg2);
    case SimKind::HighShelf: return filters::HighShelf(fs, f, s.arg1, s.arg2);
    }
    return BiquadCoefs::identity();
}
} // namespace

void SimModelSections(unsigned sampleRate, int model, double tuning, BiquadCoefs (&out)[kSimSectionCount])
{
    if (model < 0 || static_cast<std::size_t>(model) >= kSimModelCount)
        return;
    for (int k = 0; k < kSimSectionCount; ++k)
        out[k] = designSection(sampleRate, g_simModels[model].sections[k], tuning);
}

double SimModelLevel(int model)
{
    if (model < 0 || static_cast<std::size_t>(model) >= kSimModelCount)
        return kUnityLevel;
    return g_simModels[model].level;
}

const char* simKindName(SimKind kind)
{
    switch (kind)
    {
    case SimKind::HighPass1: return "HighPass1";
    case SimKind::LowPass1: return "LowPass1";
    case SimKind::HighPass2: return "HighPass2";
    case SimKind::LowPass2: return "LowPass2";
    case SimKind::Peaking: return "Peaking";
    case SimKind::LowShelf: return "LowShelf";
    case SimKind::HighShelf: return "HighShelf";
    }
    return "?";
}
