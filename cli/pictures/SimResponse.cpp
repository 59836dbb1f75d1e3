#include "cli/pictures/SimResponse.h"

#include "engine/filters/FilterDesign.h"
#include "engine/sim/SimModel.h"
#include "engine/stages/SimStage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
constexpr unsigned kRate = 48000;
constexpr double kLowHz = 20.0;
constexpr double kHighHz = 20000.0;
constexpr int kPoints = 481;     // 160 per decade
constexpr int kHalfOctave = 24;  // points
constexpr int kSixthOctave = 8;
constexpr double kNearTopDb = 15.0; // the pass band's level is read where the response is this near its top
constexpr double kBandDb = 10.0;
constexpr double kBumpDb = 3.0;     // a smaller bump reads as flat
constexpr double kPeakDb = 4.0;
constexpr double kRingingDb = 6.0;  // a peak this far above its octave's average rings
constexpr double kBassEdgeHz = 250.0;
constexpr double kThinFromHz = 250.0;   // a band starting above this has no bass
constexpr double kDullBelowHz = 4000.0; // one ending below this has no treble

double powerMean(const std::vector<double>& db, int from, int to)
{
    double power = 0.0;
    for (int j = from; j <= to; ++j)
        power += std::pow(10.0, db[static_cast<std::size_t>(j)] / 10.0);
    return 10.0 * std::log10(power / (to - from + 1));
}

int argMax(const std::vector<double>& values, int from, int to)
{
    int best = from;
    for (int i = from; i <= to; ++i)
        if (values[static_cast<std::size_t>(i)] > values[static_cast<std::size_t>(best)])
            best = i;
    return best;
}
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

const std::vector<double>& responseFrequencies()
{
    static const std::vector<double> f = [] {
        std::vector<double> out(kPoints);
        for (int i = 0; i < kPoints; ++i)
            out[static_cast<std::size_t>(i)] = kLowHz * std::pow(kHighHz / kLowHz, static_cast<double>(i) / (kPoints - 1));
        return out;
    }();
    return f;
}

std::vector<double> simResponseDb(int model, unsigned rate, double tuning, const std::vector<double>* frequencies)
{
    BiquadCoefs sections[kSimSectionCount];
    SimModelSections(rate, model, tuning, sections);
    const double levelDb = 20.0 * std::log10(simLevelToGain(SimModelLevel(model)));
    std::vector<double> db;
    for (double f : frequencies != nullptr ? *frequencies : responseFrequencies())
    {
        double sum = levelDb;
        for (const auto& s : sections)
            sum += f < rate * 0.5 ? filters::MagnitudeDb(s, f, rate) : -200.0;
        db.push_back(sum);
    }
    return db;
}

SimResponse describeResponse(const std::vector<double>& db)
{
    const std::vector<double>& f = responseFrequencies();
    const int last = kPoints - 1;
    // Smoothed over an octave, so that one sharp resonance does not stand for the band.
    std::vector<double> smooth(kPoints);
    for (int i = 0; i < kPoints; ++i)
        smooth[static_cast<std::size_t>(i)] = powerMean(db, std::max(0, i - kHalfOctave), std::min(last, i + kHalfOctave));
    const double top = smooth[static_cast<std::size_t>(argMax(smooth, 0, last))];
    std::vector<double> near;
    for (double s : smooth)
        if (s >= top - kNearTopDb)
            near.push_back(s);
    std::nth_element(near.begin(), near.begin() + static_cast<long>(near.size() / 2), near.end());
    const double level = near[near.size() / 2];

    // The band's edges off a third-octave smoothing, nearer the response's own slopes.
    std::vector<double> third(kPoints);
    for (int i = 0; i < kPoints; ++i)
        third[static_cast<std::size_t>(i)] = powerMean(db, std::max(0, i - kSixthOctave), std::min(last, i + kSixthOctave));
    int low = 0, high = last;
    while (low < last && third[static_cast<std::size_t>(low)] < level - kBandDb)
        ++low;
    while (high > low && third[static_cast<std::size_t>(high)] < level - kBandDb)
        --high;
    const int peak = argMax(db, low, high);

    SimResponse r;
    r.levelDb = level;
    r.lowHz = f[static_cast<std::size_t>(low)];
    r.highHz = f[static_cast<std::size_t>(high)];
    r.peakHz = f[static_cast<std::size_t>(peak)];
    r.peakDb = db[static_cast<std::size_t>(peak)] - level;

    // The bass: a bump within the band's low end, or none at all.
    int bassEnd = low;
    while (bassEnd < high && f[static_cast<std::size_t>(bassEnd)] < kBassEdgeHz)
        ++bassEnd;
    if (r.lowHz >= kThinFromHz)
        r.character.push_back("no bass");
    else if (bassEnd > low)
    {
        // A bump comes down again below the bass's edge; a response still rising there is
        // the low side of a peak further up.
        const int bump = argMax(smooth, low, bassEnd);
        if (smooth[static_cast<std::size_t>(bump)] - level >= kBumpDb && bump > low &&
            smooth[static_cast<std::size_t>(bassEnd)] <= smooth[static_cast<std::size_t>(bump)] - 1.0)
            r.character.push_back("bass bump at " + formatHz(f[static_cast<std::size_t>(bump)]));
    }
    // The strongest peak above the bass, named for where it sits.
    const int upper = argMax(db, std::max(low, bassEnd), high);
    const double upperDb = db[static_cast<std::size_t>(upper)] - level;
    const double upperHz = f[static_cast<std::size_t>(upper)];
    if (upperDb >= kPeakDb)
    {
        const bool rings = db[static_cast<std::size_t>(upper)] - smooth[static_cast<std::size_t>(upper)] >= kRingingDb;
        const char* kind = rings             ? "ringing resonance"
                           : upperHz < 500.0  ? "boxy peak"
                           : upperHz < 2500.0 ? "honky peak"
                                              : "bright peak";
        r.character.push_back(std::string(kind) + " at " + formatHz(upperHz));
    }
    if (r.highHz < kDullBelowHz)
        r.character.push_back(r.highHz < 2000.0 ? "muffled" : "no treble");
    if (r.character.empty())
    {
        double spread = 0.0;
        for (int i = low; i <= high; ++i)
            spread = std::max(spread, std::fabs(smooth[static_cast<std::size_t>(i)] - level));
        if (spread <= 3.0)
            r.character.push_back("flat");
    }

    if (low == 0 && high == last)
        r.description = "full range";
    else if (low == 0)
        r.description = "up to " + formatHz(r.highHz);
    else if (high == last)
        r.description = "from " + formatHz(r.lowHz) + " up";
    else
        r.description = formatHz(r.lowHz) + "\u2013" + formatHz(r.highHz);
    for (const auto& c : r.character)
        r.description += ", " + c;
    return r;
}

SimResponse describeSimResponse(int model)
{
    return describeResponse(simResponseDb(model, kRate));
}
