#include "space/DecayAnalysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace space
{
namespace
{
constexpr double kPi = 3.14159265358979323846;

struct Section
{
    double a1, a2; // poles; the zeros are at z = 1 and z = -1
};

// The octave band-pass as three sections and a gain that makes its centre pass at 0 dB: the
// analogue third-order Butterworth low-pass turned into a band-pass between the prewarped
// edges, then taken to z by the bilinear transform.
std::vector<Section> bandPass(double rate, double centre, double& gain)
{
    const double low = centre / std::sqrt(2.0);
    const double high = std::min(centre * std::sqrt(2.0), 0.45 * rate);
    const double w1 = 2.0 * rate * std::tan(kPi * low / rate);
    const double w2 = 2.0 * rate * std::tan(kPi * high / rate);
    const double w0 = std::sqrt(w1 * w2), width = w2 - w1;
    std::vector<Section> sections;
    for (int k = 0; k < 3; ++k)
    {
        const std::complex<double> p = std::polar(1.0, kPi * (2.0 * k + 4.0) / 6.0);
        const std::complex<double> root = std::sqrt(p * p * width * width - 4.0 * w0 * w0);
        for (const std::complex<double> s : {(p * width + root) / 2.0, (p * width - root) / 2.0})
        {
            const std::complex<double> z = (2.0 * rate + s) / (2.0 * rate - s);
            if (z.imag() > 0.0)
                sections.push_back({-2.0 * z.real(), std::norm(z)});
        }
    }
    const double omega = 2.0 * std::atan(w0 / (2.0 * rate));
    const std::complex<double> e1 = std::polar(1.0, -omega), e2 = e1 * e1;
    std::complex<double> response = 1.0;
    for (const Section& s : sections)
        response *= (1.0 - e2) / (1.0 + s.a1 * e1 + s.a2 * e2);
    gain = 1.0 / std::abs(response);
    return sections;
}
} // namespace

std::vector<double> octaveBand(const std::vector<float>& response, double sampleRate, double centreHz)
{
    double gain = 1.0;
    const auto sections = bandPass(sampleRate, centreHz, gain);
    std::vector<double> x(response.rbegin(), response.rend());
    for (const Section& s : sections)
    {
        double z1 = 0.0, z2 = 0.0;
        for (double& v : x)
        {
            const double y = v + z1;
            z1 = z2 - s.a1 * y;
            z2 = -v - s.a2 * y;
            v = y;
        }
    }
    std::reverse(x.begin(), x.end());
    for (double& v : x)
        v *= gain;
    return x;
}

std::vector<double> energyDecayCurve(const std::vector<double>& response)
{
    std::vector<double> curve(response.size());
    double remaining = 0.0;
    for (std::size_t n = response.size(); n-- > 0;)
    {
        remaining += response[n] * response[n];
        curve[n] = remaining;
    }
    const double total = curve.empty() ? 0.0 : curve.front();
    for (double& v : curve)
        v = total > 0.0 && v > 0.0 ? 10.0 * std::log10(v / total) : -std::numeric_limits<double>::infinity();
    return curve;
}

double reverberationTimeT30(const std::vector<double>& curveDb, double sampleRate)
{
    const auto first = std::find_if(curveDb.begin(), curveDb.end(), [](double v) { return v <= -5.0; });
    const auto last = std::find_if(first, curveDb.end(), [](double v) { return v <= -35.0; });
    if (last == curveDb.end() || last - first < 2)
        return std::numeric_limits<double>::quiet_NaN();
    // Least squares over the samples between.
    double n = 0.0, st = 0.0, sv = 0.0, stt = 0.0, stv = 0.0;
    for (auto it = first; it != last; ++it)
    {
        const double t = static_cast<double>(it - curveDb.begin()) / sampleRate;
        n += 1.0;
        st += t;
        sv += *it;
        stt += t * t;
        stv += t * *it;
    }
    const double slope = (n * stv - st * sv) / (n * stt - st * st);
    return -60.0 / slope;
}

} // namespace space
