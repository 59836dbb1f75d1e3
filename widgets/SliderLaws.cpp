#include "widgets/SliderLaws.h"

#include <cmath>

namespace slider_laws
{
double linearToValue(double min, double max, double proportion)
{
    return min + (max - min) * proportion;
}

double linearToProportion(double min, double max, double value)
{
    return (value - min) / (max - min);
}

double logToValue(double min, double max, double proportion)
{
    const double lo = std::log10(min);
    return std::pow(10.0, lo + (std::log10(max) - lo) * proportion);
}

double logToProportion(double min, double max, double value)
{
    const double lo = std::log10(min);
    return (std::log10(value) - lo) / (std::log10(max) - lo);
}

namespace
{
// The fader's constants: the span's amplitude ratio A and the fourth roots at the ends.
struct FaderLaw
{
    double span;
    double a;
    double a0;
    double a1;
};

FaderLaw faderLaw(double min, double max)
{
    FaderLaw law;
    law.span = std::fabs(max - min);
    law.a = std::pow(10.0, 0.05 * law.span);
    law.a0 = std::pow(1.0 / law.a, 0.25);
    law.a1 = std::pow(1.0 / std::pow(10.0, 0.05 * max), 0.25);
    return law;
}
} // namespace

double faderToValue(double min, double max, double proportion)
{
    const FaderLaw law = faderLaw(min, max);
    const double root = law.a0 + (law.a1 - law.a0) * proportion;
    return 20.0 * std::log10(law.a * std::pow(root, 4.0)) - std::fabs(min);
}

double faderToProportion(double min, double max, double value)
{
    const FaderLaw law = faderLaw(min, max);
    const double root = std::pow(std::pow(10.0, 0.05 * (std::fabs(min) + value)) / law.a, 0.25);
    return (root - law.a0) / (law.a1 - law.a0);
}
} // namespace slider_laws
