#include "cli/pictures/SimResponse.h"

#include "engine/filters/FilterDesign.h"
#include "engine/sim/SimModel.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
constexpr unsigned kRate = 48000;
constexpr double kLowHz = 20.0;
constexpr double kHighHz = 20000.0;
constexpr int kPoints = 481; // 48 per decade
constexpr int kHalfOctave = 7; // points
constexpr double kBandDb = 10.0;
constexpr double kNotablePeakDb = 3.0; // a smaller bump reads as flat
} // namespace

std::string formatHz(double hz)
{
    // Two significant figures: 347 Hz reads as 350 Hz, 3412 Hz as 3.4 kHz.
    const double step = hz > 0.0 ? std::pow(10.0, std::floor(std::log10(hz)) - 1.0) : 1.0;
    const double r = std::round(hz / step) * step;
    char text[32];
    if (r < 1000.0)
        std::snprintf(text, sizeof text, "%g Hz", r);
    else
        std::snprintf(text, sizeof text, "%g kHz", r / 1000.0);
    return text;
}

SimResponse describeSimResponse(int model)
{
    BiquadCoefs sections[kSimSectionCount];
    SimModelSections(kRate, model, 1.0, sections);
    std::vector<double> f(kPoints), db(kPoints);
    int peak = 0;
    for (int i = 0; i < kPoints; ++i)
    {
        f[i] = kLowHz * std::pow(kHighHz / kLowHz, static_cast<double>(i) / (kPoints - 1));
        db[i] = 0.0;
        for (const auto& s : sections)
            db[i] += filters::MagnitudeDb(s, f[i], kRate);
        if (db[i] > db[peak])
            peak = i;
    }
    // The band is read off the response smoothed over an octave, so that one sharp
    // resonance does not narrow it to itself.
    std::vector<double> smooth(kPoints);
    int top = 0;
    for (int i = 0; i < kPoints; ++i)
    {
        double power = 0.0;
        int n = 0;
        for (int j = std::max(0, i - kHalfOctave); j <= std::min(kPoints - 1, i + kHalfOctave); ++j, ++n)
            power += std::pow(10.0, db[j] / 10.0);
        smooth[i] = 10.0 * std::log10(power / n);
        if (smooth[i] > smooth[top])
            top = i;
    }
    int low = top, high = top;
    while (low > 0 && smooth[low - 1] >= smooth[top] - kBandDb)
        --low;
    while (high < kPoints - 1 && smooth[high + 1] >= smooth[top] - kBandDb)
        ++high;
    double mean = 0.0;
    for (int i = low; i <= high; ++i)
        mean += smooth[i];
    mean /= high - low + 1;

    SimResponse r{f[low], f[high], f[peak], db[peak] - mean, {}};
    if (low == 0 && high == kPoints - 1)
        r.description = "full range";
    else if (low == 0)
        r.description = "up to " + formatHz(r.highHz);
    else if (high == kPoints - 1)
        r.description = "from " + formatHz(r.lowHz) + " up";
    else
        r.description = formatHz(r.lowHz) + "\u2013" + formatHz(r.highHz);
    if (r.peakDb >= kNotablePeakDb)
        r.description += ", peak at " + formatHz(r.peakHz);
    return r;
}
