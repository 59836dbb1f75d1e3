// The device-model catalogue seen as a whole: the rule that sets each model's output level,
// and the figures (section kinds, tuned marks, argument ranges, levels) that describe the table.
#pragma once

#include "engine/sim/SimModel.h"

#include <array>
#include <string>
#include <vector>

namespace simcat
{
// ---- The level rule -------------------------------------------------------------------------
//
// A model's level is the gain that makes its output RMS for pink noise equal to the input RMS:
// pink noise band-limited to 20 Hz..20 kHz, the model designed at 48 kHz and tuning 100, the
// power gain taken as the mean of |H(f)|^2 over frequencies spaced evenly on a logarithmic axis
// (pink noise carries equal power per octave). The result is clamped into [-18.2, -0.4] dB and
// rounded to 0.1 dB. The noise's own level (-20 dBFS) drops out: the chain is linear.
constexpr unsigned kRuleSampleRate = 48000;
constexpr double kRuleLowHz = 20.0;
constexpr double kRuleHighHz = 20000.0;
constexpr int kRulePoints = 8192;
constexpr double kQuietestLevelDb = -18.2;
constexpr double kLoudestLevelDb = -0.4;

// The model's power gain for pink noise in dB (positive: louder than its input).
double pinkNoiseGainDb(int model, double tuning = 1.0, unsigned sampleRate = kRuleSampleRate);

// The level in dB the rule gives the model.
double ruleLevelDb(int model);

// True for the models whose level is set by hand with their designs rather than by the rule.
bool levelIsHandSet(int model);

// ---- Figures ----------------------------------------------------------------------------------

// The flat placeholder: a tuned 1000 Hz Peaking section with Q 1 and 0 dB.
bool isPlaceholder(const SimSection& s);

struct Range
{
    double min = 1e300;
    double max = -1e300;
    void take(double v);
};

struct CatalogueFigures
{
    // kindCount[section][kind]: how many models have that kind in that section.
    std::array<std::array<int, 7>, kSimSectionCount> kindCount{};
    int highShelfModels = 0;         // models with a HighShelf in section 3, 4 or 5
    int highShelfElsewhere = 0;      // HighShelf sections in any other section
    std::array<int, kSimSectionCount> placeholders{};
    std::array<int, kSimSectionCount + 1> tunedSections{}; // models by number of tuned sections
    Range frequency, damping, q, gain, slope;
    std::vector<int> unityModels;
    int levelsInRange = 0;  // levels within [-18.2, -0.4] dB
    int levelsOther = 0;    // anything else that is not unity
};

CatalogueFigures computeFigures();

// The figures as the report prints them.
std::string describeFigures(const CatalogueFigures& f);

// A loaded section is stable when, with a1 and a2 rounded to single precision,
// |a2| < 1 and |a1| < 1 + a2.
bool isStableInSinglePrecision(const BiquadCoefs& c);
} // namespace simcat
