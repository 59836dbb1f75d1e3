#include "cli/metering/TruePeakMeter.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define CRUMLET_TRUE_PEAK_EIGHT_FRAMES 1
#endif

namespace
{
// Zeroth-order modified Bessel function, for the Kaiser window.
double besselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 30; ++k)
    {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

constexpr double kKaiserBeta = 7.0;
constexpr double kPi = 3.14159265358979323846;

#if defined(CRUMLET_TRUE_PEAK_EIGHT_FRAMES)
constexpr int kTaps = TruePeakMeter::kTapsPerPhase;

bool hasEightFrameVectors()
{
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}

// Eight frames side by side on the 256-bit vectors of processors that have them, twice the
// four-frame step below: each output is the same sum in tap order, so every lane's value is
// the one the four-frame step gives. Returns the frames done; `highest` takes their peak.
__attribute__((target("avx"))) std::uint32_t peakEightFramesAtATime(const float* x, std::uint32_t frames,
                                                                   const float (&taps)[kTaps][4], __m128& highest)
{
    __m256 t[kTaps][4];
    for (int k = 0; k < kTaps; ++k)
        for (int p = 0; p < 4; ++p)
            t[k][p] = _mm256_set1_ps(taps[k][p]);
    const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
    __m256 high = _mm256_insertf128_ps(_mm256_castps128_ps256(highest), highest, 1);
    std::uint32_t i = 0;
    for (; i + 8 <= frames; i += 8)
    {
        const float* window = x + i;
        __m256 samples = _mm256_loadu_ps(window);
        __m256 y0 = _mm256_mul_ps(t[0][0], samples), y1 = _mm256_mul_ps(t[0][1], samples);
        __m256 y2 = _mm256_mul_ps(t[0][2], samples), y3 = _mm256_mul_ps(t[0][3], samples);
        for (int k = 1; k < kTaps; ++k)
        {
            samples = _mm256_loadu_ps(window + k);
            y0 = _mm256_add_ps(y0, _mm256_mul_ps(t[k][0], samples));
            y1 = _mm256_add_ps(y1, _mm256_mul_ps(t[k][1], samples));
            y2 = _mm256_add_ps(y2, _mm256_mul_ps(t[k][2], samples));
            y3 = _mm256_add_ps(y3, _mm256_mul_ps(t[k][3], samples));
        }
        high = _mm256_max_ps(_mm256_and_ps(y0, magnitude), high);
        high = _mm256_max_ps(_mm256_and_ps(y1, magnitude), high);
        high = _mm256_max_ps(_mm256_and_ps(y2, magnitude), high);
        high = _mm256_max_ps(_mm256_and_ps(y3, magnitude), high);
        high = _mm256_max_ps(_mm256_and_ps(samples, magnitude), high);
    }
    highest = _mm_max_ps(_mm256_castps256_ps128(high), _mm256_extractf128_ps(high, 1));
    return i;
}
#endif
} // namespace

TruePeakMeter::TruePeakMeter(std::uint32_t channels, std::uint32_t sampleRate)
    : m_channels(channels), m_factor(sampleRate < 192000 ? kMaxFactor : 1),
      m_history(static_cast<std::size_t>(channels) * (kTapsPerPhase - 1), 0.f)
{
    // A windowed-sinc low-pass at the original Nyquist frequency, split into phases; each
    // phase is scaled to unity at DC so that a constant reads as itself.
    const int length = kTapsPerPhase * m_factor;
    const double centre = (length - 1) / 2.0;
    for (int p = 0; p < m_factor; ++p)
    {
        double sum = 0.0;
        std::vector<double> phase(kTapsPerPhase);
        for (int k = 0; k < kTapsPerPhase; ++k)
        {
            const double m = p + static_cast<double>(m_factor) * k;
            const double t = (m - centre) / m_factor;
            const double sinc = t == 0.0 ? 1.0 : std::sin(kPi * t) / (kPi * t);
            const double r = (m - centre) / (centre + 1.0);
            const double window = besselI0(kKaiserBeta * std::sqrt(std::max(0.0, 1.0 - r * r))) / besselI0(kKaiserBeta);
            phase[k] = sinc * window;
            sum += phase[k];
        }
        for (int k = 0; k < kTapsPerPhase; ++k)
            m_taps[kTapsPerPhase - 1 - k][p] = static_cast<float>(phase[k] / sum);
    }
}

void TruePeakMeter::add(const float* interleaved, std::uint32_t frames)
{
    constexpr int kHistory = kTapsPerPhase - 1;
    m_scratch.resize(kHistory + static_cast<std::size_t>(frames));
    float peak = m_peak;
    if (m_factor == 1)
    {
        // At 192 kHz and above the samples are dense enough: the sample peak is the answer.
        for (std::size_t i = 0; i < static_cast<std::size_t>(frames) * m_channels; ++i)
            peak = std::max(std::fabs(interleaved[i]), peak);
        m_peak = peak;
        return;
    }
    for (std::uint32_t c = 0; c < m_channels; ++c)
    {
        float* history = m_history.data() + static_cast<std::size_t>(c) * kHistory;
        float* x = m_scratch.data();
        std::copy(history, history + kHistory, x);
        for (std::uint32_t i = 0; i < frames; ++i)
            x[kHistory + i] = interleaved[static_cast<std::size_t>(i) * m_channels + c];
#if defined(__SSE2__)
        // Four frames side by side: each phase's taps, one in every lane, times four
        // consecutive samples. Each output is still h[0] x[0] + h[1] x[1] + ... in tap order.
        static_assert(kMaxFactor == 4, "four phases, four accumulators");
        __m128 taps[kTapsPerPhase][kMaxFactor];
        for (int k = 0; k < kTapsPerPhase; ++k)
            for (int p = 0; p < kMaxFactor; ++p)
                taps[k][p] = _mm_set1_ps(m_taps[k][p]);
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
        __m128 highest = _mm_set1_ps(peak);
        std::uint32_t i = 0;
#if defined(CRUMLET_TRUE_PEAK_EIGHT_FRAMES)
        if (hasEightFrameVectors())
            i = peakEightFramesAtATime(x, frames, m_taps, highest);
#endif
        for (; i + 4 <= frames; i += 4)
        {
            const float* window = x + i; // four windows of kTapsPerPhase samples, one frame apart
            __m128 samples = _mm_loadu_ps(window);
            __m128 y0 = _mm_mul_ps(taps[0][0], samples), y1 = _mm_mul_ps(taps[0][1], samples);
            __m128 y2 = _mm_mul_ps(taps[0][2], samples), y3 = _mm_mul_ps(taps[0][3], samples);
            for (int k = 1; k < kTapsPerPhase; ++k)
            {
                samples = _mm_loadu_ps(window + k);
                y0 = _mm_add_ps(y0, _mm_mul_ps(taps[k][0], samples));
                y1 = _mm_add_ps(y1, _mm_mul_ps(taps[k][1], samples));
                y2 = _mm_add_ps(y2, _mm_mul_ps(taps[k][2], samples));
                y3 = _mm_add_ps(y3, _mm_mul_ps(taps[k][3], samples));
            }
            // A NaN in the first operand yields the second: the peak so far stands.
            highest = _mm_max_ps(_mm_and_ps(y0, magnitude), highest);
            highest = _mm_max_ps(_mm_and_ps(y1, magnitude), highest);
            highest = _mm_max_ps(_mm_and_ps(y2, magnitude), highest);
            highest = _mm_max_ps(_mm_and_ps(y3, magnitude), highest);
            highest = _mm_max_ps(_mm_and_ps(samples, magnitude), highest);
        }
        // The last few frames: the four phases in the four lanes of one vector.
        __m128 phases[kTapsPerPhase];
        for (int k = 0; k < kTapsPerPhase; ++k)
            phases[k] = _mm_loadu_ps(m_taps[k]);
        for (; i < frames; ++i)
        {
            const float* window = x + i; // kTapsPerPhase samples ending at the new one
            __m128 y = _mm_mul_ps(phases[0], _mm_set1_ps(window[0]));
            for (int k = 1; k < kTapsPerPhase; ++k)
                y = _mm_add_ps(y, _mm_mul_ps(phases[k], _mm_set1_ps(window[k])));
            highest = _mm_max_ps(_mm_and_ps(y, magnitude), highest);
            highest = _mm_max_ps(_mm_and_ps(_mm_set1_ps(window[kHistory]), magnitude), highest);
        }
        alignas(16) float lanes[4];
        _mm_store_ps(lanes, highest);
        peak = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
#else
        for (std::uint32_t i = 0; i < frames; ++i)
        {
            const float* window = x + i;
            float y[kMaxFactor] = {};
            for (int k = 0; k < kTapsPerPhase; ++k)
                for (int p = 0; p < kMaxFactor; ++p)
                    y[p] += m_taps[k][p] * window[k];
            for (int p = 0; p < kMaxFactor; ++p)
                peak = std::max(peak, std::fabs(y[p]));
            peak = std::max(peak, std::fabs(window[kHistory]));
        }
#endif
        std::copy(x + frames, x + frames + kHistory, history);
    }
    m_peak = peak;
}
