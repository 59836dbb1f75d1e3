#include "space/OctaveBandSum.h"

#include "space/FftwPlanning.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <new>

namespace space
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kCrossoverOctaves = 0.5;
// The outer edges of the octaves 125 Hz to 8 kHz.
const double kLowestEdge = kBandCentres.front() / std::sqrt(2.0);
const double kHighestEdge = kBandCentres.back() * std::sqrt(2.0);
// The crossovers' kernels fall below -100 dB well within this time either side.
constexpr double kMarginSeconds = 0.05;

std::size_t powerOfTwoAtLeast(std::size_t n)
{
    std::size_t p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

// Rises from 0 to 1 across the crossover centred `octaves` above 125 Hz.
double rising(double octavesAbove125, double edge)
{
    const double s = std::clamp((octavesAbove125 - edge) / kCrossoverOctaves + 0.5, 0.0, 1.0);
    const double x = std::sin(0.5 * kPi * s);
    return x * x;
}
} // namespace

struct OctaveBandSum::Transforms
{
    std::size_t size = 0;
    float* time = nullptr;
    fftwf_complex* spectrum = nullptr;
    std::vector<std::complex<double>> total;
    fftwf_plan forward = nullptr;
    fftwf_plan inverse = nullptr;

    explicit Transforms(std::size_t n) : size(n), total(n / 2 + 1)
    {
        makeFftwPlannerThreadSafe();
        time = fftwf_alloc_real(n);
        spectrum = fftwf_alloc_complex(n / 2 + 1);
        if (time == nullptr || spectrum == nullptr)
            throw std::bad_alloc();
        const int length = static_cast<int>(n);
        forward = fftwf_plan_dft_r2c_1d(length, time, spectrum, FFTW_ESTIMATE);
        inverse = fftwf_plan_dft_c2r_1d(length, spectrum, time, FFTW_ESTIMATE);
        if (forward == nullptr || inverse == nullptr)
            throw std::bad_alloc();
    }

    ~Transforms()
    {
        if (forward != nullptr)
            fftwf_destroy_plan(forward);
        if (inverse != nullptr)
            fftwf_destroy_plan(inverse);
        fftwf_free(time);
        fftwf_free(spectrum);
    }
};

OctaveBandSum::OctaveBandSum(std::size_t frames, double sampleRate)
    : m_frames(frames), m_margin(static_cast<std::size_t>(std::ceil(kMarginSeconds * sampleRate))),
      m_sampleRate(sampleRate), m_fft(std::make_unique<Transforms>(powerOfTwoAtLeast(frames + 2 * m_margin)))
{
}

OctaveBandSum::~OctaveBandSum() = default;

double OctaveBandSum::share(std::size_t band, double hz)
{
    if (hz <= 0.0)
        return band == 0 ? 1.0 : 0.0;
    const double octaves = std::log2(hz / kBandCentres[0]);
    const double b = static_cast<double>(band);
    const double fromBelow = band == 0 ? 1.0 : rising(octaves, b - 0.5);
    const double toAbove = band + 1 == kBandCount ? 1.0 : 1.0 - rising(octaves, b + 0.5);
    return fromBelow * toAbove;
}

void OctaveBandSum::add(std::size_t band, const std::vector<float>& signal)
{
    Transforms& t = *m_fft;
    std::fill(t.time, t.time + t.size, 0.f);
    std::copy(signal.begin(), signal.begin() + static_cast<std::ptrdiff_t>(std::min(signal.size(), m_frames)),
              t.time + m_margin);
    fftwf_execute(t.forward);
    const double binHz = m_sampleRate / static_cast<double>(t.size);
    for (std::size_t k = 0; k < t.total.size(); ++k)
    {
        const double gain = share(band, static_cast<double>(k) * binHz);
        if (gain > 0.0)
            t.total[k] += gain * std::complex<double>(t.spectrum[k][0], t.spectrum[k][1]);
    }
}

void OctaveBandSum::setCausalGains(const BandValues& gains)
{
    m_causalGains = gains;
    m_shaped = true;
}

// The minimum-phase response with the gains' magnitude, by the real cepstrum: the log
// magnitude's transform folded onto positive times, transformed back and exponentiated.
void OctaveBandSum::applyCausalGains()
{
    Transforms& t = *m_fft;
    const std::size_t bins = t.total.size();
    const double binHz = m_sampleRate / static_cast<double>(t.size);
    for (std::size_t k = 0; k < bins; ++k)
    {
        double magnitude = 0.0;
        for (std::size_t b = 0; b < kBandCount; ++b)
            magnitude += share(b, static_cast<double>(k) * binHz) * m_causalGains[b];
        t.spectrum[k][0] = static_cast<float>(std::log(magnitude));
        t.spectrum[k][1] = 0.f;
    }
    fftwf_execute(t.inverse);
    const float scale = 1.f / static_cast<float>(t.size);
    const std::size_t half = t.size / 2;
    t.time[0] *= scale;
    for (std::size_t n = 1; n < half; ++n)
        t.time[n] *= 2.f * scale;
    t.time[half] *= scale;
    std::fill(t.time + half + 1, t.time + t.size, 0.f);
    fftwf_execute(t.forward);
    for (std::size_t k = 0; k < bins; ++k)
        t.total[k] *= std::exp(std::complex<double>(t.spectrum[k][0], t.spectrum[k][1]));
}

std::vector<float> OctaveBandSum::sum()
{
    if (m_shaped)
        applyCausalGains();
    Transforms& t = *m_fft;
    const double scale = 1.0 / static_cast<double>(t.size);
    for (std::size_t k = 0; k < t.total.size(); ++k)
    {
        t.spectrum[k][0] = static_cast<float>(t.total[k].real() * scale);
        t.spectrum[k][1] = static_cast<float>(t.total[k].imag() * scale);
    }
    fftwf_execute(t.inverse);
    return std::vector<float>(t.time + m_margin, t.time + m_margin + m_frames);
}

BandValues OctaveBandSum::powerGains(const std::vector<std::vector<float>>& channels, double sampleRate)
{
    BandValues gains{};
    if (channels.empty())
        return gains;
    const std::size_t size = powerOfTwoAtLeast(channels.front().size());
    Transforms t(size);
    const double binHz = sampleRate / static_cast<double>(size);
    BandValues weight{};
    for (const auto& channel : channels)
    {
        std::fill(t.time, t.time + size, 0.f);
        std::copy(channel.begin(), channel.end(), t.time);
        fftwf_execute(t.forward);
        for (std::size_t k = 0; k < t.total.size(); ++k)
        {
            const double hz = static_cast<double>(k) * binHz;
            if (hz < kLowestEdge || hz > kHighestEdge)
                continue;
            const double power = static_cast<double>(t.spectrum[k][0]) * t.spectrum[k][0] +
                                 static_cast<double>(t.spectrum[k][1]) * t.spectrum[k][1];
            for (std::size_t b = 0; b < kBandCount; ++b)
            {
                const double part = share(b, hz);
                gains[b] += part * power;
                weight[b] += part;
            }
        }
    }
    for (std::size_t b = 0; b < kBandCount; ++b)
        gains[b] = weight[b] > 0.0 ? gains[b] / weight[b] : 0.0;
    return gains;
}

} // namespace space
