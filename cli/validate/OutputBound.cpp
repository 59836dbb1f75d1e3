#include "cli/validate/OutputBound.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"

#include <algorithm>
#include <cmath>

using filters::passDamping;

double OutputBound::resonance(double d)
{
    if (d >= std::sqrt(2.0))
        return 1.0;
    return kSquareOverSine / (d * std::sqrt(1.0 - d * d / 4.0));
}

double OutputBound::of(const Automation& s, double inputPeak)
{
    auto on = [&](const char* name) { return s.effective(name) != 0.0; };
    const double input = inputPeak * dbToGain(s.effective("InputGain"));
    double x = input;
    if (on("FiltersEnable"))
    {
        x *= std::pow(resonance(passDamping(s.effective("FiltersHPFQ"))), s.effective("FiltersHPFSlope") + 1.0);
        x *= std::pow(resonance(passDamping(s.effective("FiltersLPFQ"))), s.effective("FiltersLPFSlope") + 1.0);
    }
    if (on("DistortionEnable"))
        x = 2.0;
    if (on("EQEnable"))
    {
        const double type = s.effective("EQFilterType");
        x *= type == 1.0 ? std::max(1.0, dbToGain(s.effective("EQGain"))) * kSquareOverSine
                         : resonance(passDamping(s.effective("EQQ")));
    }
    if (on("NoiseEnable"))
        x += 0.5 * dbToGain(s.effective("NoiseLevel") - 6.0) * 2.0;
    if (on("SIMEnable"))
        x *= kSimBoost * std::pow(kSquareOverSine, kSimSections);
    if (on("LoFiEnable"))
        x = (x + 0.25) * 2.0;
    const double balance = s.effective("Balance") * 0.01;
    const double wet = balance * dbToGain(s.effective("OutputGain"));
    return kRingingHeadroom * (wet * x + std::fabs(1.0 - balance) * input);
}
