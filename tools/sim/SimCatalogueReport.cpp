// crumlet-sim-catalogue: the device-model catalogue's figures and levels.
//
//   crumlet-sim-catalogue              figures, stability, and the table's levels against the rule
//                                      (exit status 1 when a level departs from the rule)
//   crumlet-sim-catalogue --levels     the rule's level of every model that is not unity
//   crumlet-sim-catalogue --response M [tuning%] [rate]
//                                      model M's response at sixth-octave points
#include "tools/sim/SimCatalogueFigures.h"

#include "engine/BiquadSection.h"
#include "engine/filters/FilterDesign.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr unsigned kRates[] = {8000, 44100, 48000, 96000};
constexpr double kTunings[] = {0.5, 1.0, 2.0};

int unstableDesigns()
{
    int failures = 0;
    for (int m = 0; m < static_cast<int>(kSimModelCount); ++m)
        for (unsigned fs : kRates)
            for (double t : kTunings)
            {
                BiquadCoefs c[kSimSectionCount];
                SimModelSections(fs, m, t, c);
                for (int k = 0; k < kSimSectionCount; ++k)
                    if (!simcat::isStableInSinglePrecision(c[k]))
                    {
                        std::printf("unstable: model %d section %d at %u Hz, tuning %.0f\n", m, k, fs, t * 100);
                        ++failures;
                    }
            }
    return failures;
}

int report()
{
    std::fputs(simcat::describeFigures(simcat::computeFigures()).c_str(), stdout);
    const int unstable = unstableDesigns();
    std::printf("stability at 8000/44100/48000/96000 Hz, tuning 50/100/200: %s\n",
                unstable == 0 ? "every section stable" : "UNSTABLE SECTIONS");

    std::printf("\nmodel  table dB   rule dB   pink-noise gain dB\n");
    int departures = 0, clamped = 0;
    for (int m = 0; m < static_cast<int>(kSimModelCount); ++m)
    {
        const double level = SimModelLevel(m);
        const double gain = simcat::pinkNoiseGainDb(m);
        if (level == kUnityLevel)
        {
            std::printf("%5d     unity         -   %+8.3f\n", m, gain);
            continue;
        }
        const double rule = simcat::ruleLevelDb(m);
        const bool handSet = simcat::levelIsHandSet(m);
        const bool departs = !handSet && std::fabs(rule - level) > 1e-9;
        if (departs)
            ++departures;
        if (!handSet && (-gain > simcat::kLoudestLevelDb || -gain < simcat::kQuietestLevelDb))
            ++clamped;
        std::printf("%5d  %8.1f  %8.1f   %+8.3f%s\n", m, level, rule, gain,
                    handSet ? "   (set with its design)" : departs ? "   DEPARTS FROM RULE" : "");
    }
    std::printf("\nlevels departing from the rule: %d; rule levels held at a clamp: %d\n", departures, clamped);
    return departures == 0 && unstable == 0 ? 0 : 1;
}

void levels()
{
    for (int m = 0; m < static_cast<int>(kSimModelCount); ++m)
        if (SimModelLevel(m) != kUnityLevel)
            std::printf("%d %.1f\n", m, simcat::levelIsHandSet(m) ? SimModelLevel(m) : simcat::ruleLevelDb(m));
}

int response(int model, double tuningPercent, unsigned fs)
{
    if (model < 0 || model >= static_cast<int>(kSimModelCount) || fs == 0)
        return 2;
    BiquadCoefs c[kSimSectionCount];
    SimModelSections(fs, model, tuningPercent * 0.01, c);
    const double level = SimModelLevel(model);
    const double levelDb = level < 0.0 ? level : 20.0 * std::log10(level);
    std::printf("model %d, tuning %.0f, %u Hz, level %.1f dB\n", model, tuningPercent, fs, levelDb);
    for (double f = 20.0; f < fs * 0.5 && f <= 20000.0; f *= std::pow(2.0, 1.0 / 6.0))
    {
        double db = 0.0;
        for (const auto& s : c)
            db += filters::MagnitudeDb(s, f, fs);
        std::printf("%8.0f Hz %+7.1f dB (with level %+7.1f)\n", f, db, db + levelDb);
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--levels") == 0)
    {
        levels();
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--response") == 0)
        return response(std::atoi(argv[2]), argc >= 4 ? std::atof(argv[3]) : 100.0,
                        argc >= 5 ? static_cast<unsigned>(std::atoi(argv[4])) : 48000u);
    if (argc >= 2)
    {
        std::fprintf(stderr, "usage: %s [--levels | --response model [tuning%%] [rate]]\n", argv[0]);
        return 2;
    }
    return report();
}
