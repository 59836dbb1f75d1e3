#include "engine/filters/FilterDesign.h"

#include "engine/Units.h"

#include <algorithm>
#include <cmath>

namespace filters
{
namespace
{
double warpedK(unsigned sampleRate, double f, double* clampedW = nullptr)
{
    const double w = clampNormalisedFrequency(f / static_cast<double>(sampleRate));
    if (clampedW != nullptr)
        *clampedW = w;
    return prewarp(w);
}

// Resonant shelf numerator/denominator dampings shared by both shelves.
struct ShelfTerms
{
    double numGain;
    double denGain;
    double numDamping;
    double denDamping;
};

ShelfTerms shelfTerms(double m, double s, double gainDb, double scale)
{
    const double p = -1.6 * std::pow(s, 0.25);
    const double g = dbToGain(gainDb);
    const double t = std::sqrt(std::fabs(gainDb / 18.0));
    const double plain = (kSqrt2 * m + (1.0 - m)) * scale;
    if (gainDb > 0.0)
        return {g, 1.0, ((p / 2.0 * t + kSqrt2) * m * std::sqrt(g) + (1.0 - m)) * scale, plain};
    return {1.0, 1.0 / g, plain, ((p / 2.0 * t + kSqrt2) * m / std::sqrt(g) + (1.0 - m)) * scale};
}
} // namespace

double clampNormalisedFrequency(double w)
{
    // NaN lands on the lower bound.
    if (!(w >= kMinNormalisedFrequency))
        return kMinNormalisedFrequency;
    return std::min(w, kMaxNormalisedFrequency);
}

double prewarp(double clampedW)
{
    return std::tan(kPi * clampedW);
}

BiquadCoefs highPass1Section(double k)
{
    return {1.0, -1.0, 0.0, k + 1.0, k - 1.0, 0.0};
}

BiquadCoefs lowPass1Section(double k)
{
    return {k, k, 0.0, k + 1.0, k - 1.0, 0.0};
}

BiquadCoefs highPass2Section(double k, double damping)
{
    const double k2 = k * k;
    return {1.0, -2.0, 1.0, k * damping + 1.0 + k2, 2.0 * k2 - 2.0, 1.0 - k * damping + k2};
}

BiquadCoefs lowPass2Section(double k, double damping)
{
    const double k2 = k * k;
    return {k2, 2.0 * k2, k2, k * damping + 1.0 + k2, 2.0 * k2 - 2.0, 1.0 - k * damping + k2};
}

BiquadCoefs normalised(BiquadCoefs c)
{
    c.normalise();
    return c;
}

BiquadCoefs HighPass1(unsigned sampleRate, double f)
{
    return normalised(highPass1Section(warpedK(sampleRate, f)));
}

BiquadCoefs LowPass1(unsigned sampleRate, double f)
{
    return normalised(lowPass1Section(warpedK(sampleRate, f)));
}

BiquadCoefs HighPass2(unsigned sampleRate, double f, double damping)
{
    return normalised(highPass2Section(warpedK(sampleRate, f), damping));
}

BiquadCoefs LowPass2(unsigned sampleRate, double f, double damping)
{
    return normalised(lowPass2Section(warpedK(sampleRate, f), damping));
}

PeakingTerms peakingTerms(double w, double k, double q, double linearGain, double shape)
{
    const double bandwidth = (k + 1.0) / q;
    const double g = linearGain;
    PeakingTerms t{};
    if (g >= 1.0)
    {
        t.numDamping = bandwidth * g;
        t.denDamping = bandwidth;
        const double cn = (t.numDamping * w + (1.0 - w)) * shape + (1.0 - shape);
        t.numConstant = std::min(std::max(cn, 1.0), g);
        t.denConstant = 1.0;
    }
    else
    {
        t.numDamping = bandwidth;
        t.denDamping = bandwidth / g;
        t.numConstant = 1.0;
        const double cd = (t.denDamping * w + (1.0 - w)) * shape + (1.0 - shape);
        t.denConstant = std::min(std::max(cd, 1.0), 1.0 / g);
    }
    return t;
}

BiquadCoefs peakingSection(double k, const PeakingTerms& t)
{
    const double k2 = k * k;
    return {t.numDamping * k + t.numConstant + k2, 2.0 * k2 - 2.0 * t.numConstant, t.numConstant - t.numDamping * k + k2,
            t.denDamping * k + t.denConstant + k2, 2.0 * k2 - 2.0 * t.denConstant, t.denConstant - t.denDamping * k + k2};
}

namespace
{
BiquadCoefs designPeaking(unsigned sampleRate, double f, double q, double gainDb, double shapePerDb)
{
    double w = 0.0;
    const double k = warpedK(sampleRate, f, &w);
    return normalised(peakingSection(k, peakingTerms(w, k, q, dbToGain(gainDb), std::fabs(gainDb) * shapePerDb)));
}
} // namespace

BiquadCoefs Peaking(unsigned sampleRate, double f, double q, double gainDb)
{
    return designPeaking(sampleRate, f, q, gainDb, 0.05555555555555555);
}

BiquadCoefs Peaking12(unsigned sampleRate, double f, double q, double gainDb)
{
    return designPeaking(sampleRate, f, q, gainDb, 0.08333333333333333);
}

BiquadCoefs BandPass1(unsigned sampleRate, double f, double f2)
{
    const double k1 = warpedK(sampleRate, f);
    const double k2 = warpedK(sampleRate, f2);
    const double h = 1.0 / (k1 + 1.0);
    const double l = 1.0 / (k2 + 1.0);
    const double b0 = k2 * l * h;
    return {b0, 0.0, -b0, 1.0, (k2 - 1.0) * l + (k1 - 1.0) * h, (k2 - 1.0) * l * (k1 - 1.0) * h};
}

BiquadCoefs LowShelf(unsigned sampleRate, double f, double s, double gainDb)
{
    const double k = warpedK(sampleRate, f);
    const double k2 = k * k;
    const double m = 0.85;
    const ShelfTerms t = shelfTerms(m, s, gainDb, k);
    return normalised({t.numDamping + m + t.numGain * k2, 2.0 * k2 * t.numGain - 2.0 * m, m - t.numDamping + t.numGain * k2,
                       t.denDamping + m + t.denGain * k2, 2.0 * k2 * t.denGain - 2.0 * m, m - t.denDamping + t.denGain * k2});
}

BiquadCoefs HighShelf(unsigned sampleRate, double f, double s, double gainDb)
{
    const double w = clampNormalisedFrequency(f / static_cast<double>(sampleRate));
    const double cot = std::tan(kPi / 2.0 - kPi * w);
    const double c2 = cot * cot;
    const double m = std::max(0.85 * (1.0 - w), 0.015);
    const ShelfTerms t = shelfTerms(m, s, gainDb, cot);
    return normalised({t.numDamping + m + t.numGain * c2, 2.0 * m - 2.0 * c2 * t.numGain, m - t.numDamping + t.numGain * c2,
                       t.denDamping + m + t.denGain * c2, 2.0 * m - 2.0 * c2 * t.denGain, m - t.denDamping + t.denGain * c2});
}

double passDamping(double qPercent)
{
    const double x = qPercent * 0.01;
    return 1.414 - (x > 0.0 ? std::sqrt(x) : 0.0) * 1.1312;
}

double eqPeakingQ(double qPercent)
{
    const double x = qPercent * 0.01;
    return 9.0 * x * x + 1.0;
}

double SectionDecay(float a1f, float a2f)
{
    const double a1 = a1f;
    const double a2 = a2f;
    const double disc = a1 * a1 - 4.0 * a2;
    double r;
    if (disc >= 0.0)
    {
        const double root = std::sqrt(disc);
        r = 0.5 * std::max(std::fabs(-a1 - root), std::fabs(root - a1));
    }
    else
    {
        r = std::sqrt(a2);
    }
    return 1.0 / (1.0 - r);
}

double MagnitudeDb(const BiquadCoefs& c, double f, double sampleRate)
{
    const double w = 2.0 * kPi * f / sampleRate;
    const double cw = std::cos(w), c2w = std::cos(2.0 * w);
    const double sw = std::sin(w), s2w = std::sin(2.0 * w);
    const double bre = c.b0 + c.b1 * cw + c.b2 * c2w, bim = c.b1 * sw + c.b2 * s2w;
    const double are = c.a0 + c.a1 * cw + c.a2 * c2w, aim = c.a1 * sw + c.a2 * s2w;
    const double b2 = bre * bre + bim * bim;
    const double a2 = are * are + aim * aim;
    if (b2 > 1e-14 && a2 > 1e-14)
        return 10.0 * (std::log10(b2) - std::log10(a2));
    return -160.0;
}
} // namespace filters
