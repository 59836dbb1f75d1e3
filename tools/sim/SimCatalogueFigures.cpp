#include "tools/sim/SimCatalogueFigures.h"

#include "engine/filters/FilterDesign.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace simcat
{
double pinkNoiseGainDb(int model, double tuning, unsigned sampleRate)
{
    BiquadCoefs sections[kSimSectionCount];
    SimModelSections(sampleRate, model, tuning, sections);

    // Midpoints of kRulePoints equal steps of log frequency between the band edges.
    const double span = std::log(kRuleHighHz / kRuleLowHz);
    double sum = 0.0;
    for (int i = 0; i < kRulePoints; ++i)
    {
        const double f = kRuleLowHz * std::exp(span * (i + 0.5) / kRulePoints);
        double db = 0.0;
        for (const auto& s : sections)
            db += filters::MagnitudeDb(s, f, static_cast<double>(sampleRate));
        sum += std::pow(10.0, db * 0.1);
    }
    return 10.0 * std::log10(sum / kRulePoints);
}

double ruleLevelDb(int model)
{
    const double level = std::clamp(-pinkNoiseGainDb(model), kQuietestLevelDb, kLoudestLevelDb);
    return std::round(level * 10.0) / 10.0;
}

bool levelIsHandSet(int model)
{
    return model == 0 || model == 4 || model == 99;
}

bool isPlaceholder(const SimSection& s)
{
    return s.kind == SimKind::Peaking && s.frequency == 1000.0 && s.arg1 == 1.0 && s.arg2 == 0.0 &&
           s.tuning == Tuning::Tuned;
}

void Range::take(double v)
{
    min = std::min(min, v);
    max = std::max(max, v);
}

CatalogueFigures computeFigures()
{
    CatalogueFigures f;
    for (std::size_t m = 0; m < kSimModelCount; ++m)
    {
        const SimModelData& model = g_simModels[m];
        int tuned = 0;
        bool highShelf = false;
        for (int k = 0; k < kSimSectionCount; ++k)
        {
            const SimSection& s = model.sections[k];
            ++f.kindCount[k][static_cast<int>(s.kind)];
            if (s.kind == SimKind::HighShelf)
            {
                if (k >= 3 && k <= 5)
                    highShelf = true;
                else
                    ++f.highShelfElsewhere;
            }
            if (isPlaceholder(s))
                ++f.placeholders[k];
            if (s.tuning == Tuning::Tuned)
                ++tuned;
            f.frequency.take(s.frequency);
            switch (s.kind)
            {
            case SimKind::HighPass2:
            case SimKind::LowPass2: f.damping.take(s.arg1); break;
            case SimKind::Peaking:
                f.q.take(s.arg1);
                f.gain.take(s.arg2);
                break;
            case SimKind::LowShelf:
            case SimKind::HighShelf:
                f.slope.take(s.arg1);
                f.gain.take(s.arg2);
                break;
            default: break;
            }
        }
        if (highShelf)
            ++f.highShelfModels;
        ++f.tunedSections[tuned];
        if (model.level == kUnityLevel)
            f.unityModels.push_back(static_cast<int>(m));
        else if (model.level >= kQuietestLevelDb && model.level <= kLoudestLevelDb)
            ++f.levelsInRange;
        else
            ++f.levelsOther;
    }
    return f;
}

std::string describeFigures(const CatalogueFigures& f)
{
    const auto count = [&](int section, SimKind kind) { return f.kindCount[section][static_cast<int>(kind)]; };
    std::ostringstream o;
    o << "models: " << kSimModelCount << "\n";
    o << "section 0: HighPass2 " << count(0, SimKind::HighPass2) << ", HighPass1 " << count(0, SimKind::HighPass1)
      << ", Peaking " << count(0, SimKind::Peaking) << "\n";
    o << "section 6: LowPass2 " << count(6, SimKind::LowPass2) << ", LowPass1 " << count(6, SimKind::LowPass1) << "\n";
    o << "section 1: LowShelf " << count(1, SimKind::LowShelf) << ", HighPass2 " << count(1, SimKind::HighPass2)
      << ", HighPass1 " << count(1, SimKind::HighPass1) << ", Peaking " << count(1, SimKind::Peaking) << "\n";
    o << "HighShelf in section 3, 4 or 5: " << f.highShelfModels << " models (elsewhere: " << f.highShelfElsewhere
      << ")\n";
    o << "extra LowPass2 by section (1..5):";
    for (int k = 1; k <= 5; ++k)
        o << " " << count(k, SimKind::LowPass2);
    o << "\n";
    o << "other kinds in sections 1..5: LowPass1";
    int lp1 = 0, hp = 0;
    for (int k = 1; k <= 5; ++k)
    {
        lp1 += count(k, SimKind::LowPass1);
        if (k >= 2)
            hp += count(k, SimKind::HighPass1) + count(k, SimKind::HighPass2);
    }
    o << " " << lp1 << ", high-passes after section 1 " << hp << "\n";
    o << "placeholder by section (0..6):";
    for (int k = 0; k < kSimSectionCount; ++k)
        o << " " << f.placeholders[k];
    o << "\n";
    o << "models by tuned sections:";
    for (int n = 0; n <= kSimSectionCount; ++n)
        if (f.tunedSections[n] != 0)
            o << " " << n << ":" << f.tunedSections[n];
    o << "\n";
    char line[256];
    std::snprintf(line, sizeof line, "frequency %.2f..%.2f Hz, damping %.2f..%.2f, Q %.2f..%.2f, gain %.1f..%.1f dB, S %.3f..%.3f\n",
                  f.frequency.min, f.frequency.max, f.damping.min, f.damping.max, f.q.min, f.q.max, f.gain.min, f.gain.max,
                  f.slope.min, f.slope.max);
    o << line;
    o << "levels: " << f.levelsInRange << " within [-18.2, -0.4] dB, " << f.levelsOther << " other, "
      << f.unityModels.size() << " unity:";
    for (int m : f.unityModels)
        o << " " << m;
    o << "\n";
    return o.str();
}

bool isStableInSinglePrecision(const BiquadCoefs& c)
{
    const double a1 = static_cast<float>(c.a1);
    const double a2 = static_cast<float>(c.a2);
    return std::fabs(a2) < 1.0 && std::fabs(a1) < 1.0 + a2;
}
} // namespace simcat
