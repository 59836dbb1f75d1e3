#include "cli/metering/TruePeakMeter.h"

#include "engine/simd/InstructionSets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

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

#if defined(__SSE2__)
constexpr int kTaps = TruePeakMeter::kTapsPerPhase;

// Frames side by side, N of them (four on 128-bit vectors, eight on 256-bit ones, sixteen on 512-bit ones): each
// phase's taps, one in every lane, times consecutive samples, so that each output is still
// h[0] x[0] + h[1] x[1] + ... in tap order, whatever the width. `high` takes the peak of the
// frames done from `i` on; returns where they end. Written with the compiler's vector
// operators so that one text serves both widths; inlined into its caller, it is compiled for
// the caller's instructions.
// The lanes of a vector of N floats, and of N 32-bit integers of the same size.
template <int N>
struct Lanes;
template <>
struct Lanes<4>
{
    typedef float Floats __attribute__((vector_size(16)));
    typedef std::int32_t Bits __attribute__((vector_size(16)));
};
template <>
struct Lanes<8>
{
    typedef float Floats __attribute__((vector_size(32)));
    typedef std::int32_t Bits __attribute__((vector_size(32)));
};
template <>
struct Lanes<16>
{
    typedef float Floats __attribute__((vector_size(64)));
    typedef std::int32_t Bits __attribute__((vector_size(64)));
};

template <int N>
[[gnu::always_inline]] inline std::uint32_t peakFramesSideBySide(const float* x, std::uint32_t frames, std::uint32_t i,
                                                                 const float (&taps)[kTaps][4],
                                                                 typename Lanes<N>::Floats& high)
{
    constexpr std::uint32_t kLanes = N;
    using V = typename Lanes<N>::Floats;
    using Bits = typename Lanes<N>::Bits;
    static_assert(TruePeakMeter::kMaxFactor == 4, "four phases, four accumulators");
    V t[kTaps][4];
    for (int k = 0; k < kTaps; ++k)
        for (int p = 0; p < 4; ++p)
            t[k][p] = taps[k][p] - V{}; // every lane the tap (x - 0 is x, signed zeros too)
    const Bits magnitude = Bits{} + 0x7fffffff;
    V y[4];
    for (; i + kLanes <= frames; i += kLanes)
    {
        const float* window = x + i; // windows of kTaps samples, one frame apart
        V samples;
        std::memcpy(&samples, window, sizeof samples);
        for (int p = 0; p < 4; ++p)
            y[p] = t[0][p] * samples;
        for (int k = 1; k < kTaps; ++k)
        {
            std::memcpy(&samples, window + k, sizeof samples);
            for (int p = 0; p < 4; ++p)
                y[p] = y[p] + t[k][p] * samples;
        }
        // As the processor's max: a NaN in the first operand yields the second, so the peak
        // so far stands.
        for (int p = 0; p < 4; ++p)
        {
            const V size = reinterpret_cast<V>(reinterpret_cast<Bits>(y[p]) & magnitude);
            high = size > high ? size : high;
        }
        const V size = reinterpret_cast<V>(reinterpret_cast<Bits>(samples) & magnitude);
        high = size > high ? size : high;
    }
    return i;
}
#endif

#if defined(CRUMLET_TRUE_PEAK_EIGHT_FRAMES)
// Sixteen frames side by side on AVX-512's vectors: every lane's value is the one the
// four-frame step gives. Returns the frames done.
__attribute__((target("avx512f"))) std::uint32_t peakSixteenFramesAtATime(const float* x, std::uint32_t frames,
                                                                   const float (&taps)[kTaps][4], __m128& highest)
{
    Lanes<16>::Floats high;
    for (int lane = 0; lane < 16; ++lane)
        high[lane] = highest[lane % 4];
    const std::uint32_t done = peakFramesSideBySide<16>(x, frames, 0, taps, high);
    alignas(64) float lanes[16];
    std::memcpy(lanes, &high, sizeof lanes);
    for (int quarter = 0; quarter < 4; ++quarter)
        highest = _mm_max_ps(_mm_load_ps(lanes + 4 * quarter), highest);
    return done;
}

// Eight frames side by side on the 256-bit vectors of processors that have them: every lane's
// value is the one the four-frame step gives. Returns the frames done.
__attribute__((target("avx"))) std::uint32_t peakEightFramesAtATime(const float* x, std::uint32_t frames,
                                                                   const float (&taps)[kTaps][4], __m128& highest)
{
    Lanes<8>::Floats high = _mm256_insertf128_ps(_mm256_castps128_ps256(highest), highest, 1);
    const std::uint32_t done = peakFramesSideBySide<8>(x, frames, 0, taps, high);
    highest = _mm_max_ps(_mm256_castps256_ps128(high), _mm256_extractf128_ps(high, 1));
    return done;
}
#endif
} // namespace

namespace
{
using Taps = float[TruePeakMeter::kTapsPerPhase][TruePeakMeter::kMaxFactor];

// A windowed-sinc low-pass at the original Nyquist frequency, split into phases; each phase
// is scaled to unity at DC so that a constant reads as itself.
void designInterpolator(int factor, Taps& taps)
{
    constexpr int kTapsPerPhase = TruePeakMeter::kTapsPerPhase;
    const int length = kTapsPerPhase * factor;
    const double centre = (length - 1) / 2.0;
    for (int p = 0; p < factor; ++p)
    {
        double sum = 0.0;
        std::vector<double> phase(kTapsPerPhase);
        for (int k = 0; k < kTapsPerPhase; ++k)
        {
            const double m = p + static_cast<double>(factor) * k;
            const double t = (m - centre) / factor;
            const double sinc = t == 0.0 ? 1.0 : std::sin(kPi * t) / (kPi * t);
            const double r = (m - centre) / (centre + 1.0);
            const double window = besselI0(kKaiserBeta * std::sqrt(std::max(0.0, 1.0 - r * r))) / besselI0(kKaiserBeta);
            phase[k] = sinc * window;
            sum += phase[k];
        }
        for (int k = 0; k < kTapsPerPhase; ++k)
            taps[kTapsPerPhase - 1 - k][p] = static_cast<float>(phase[k] / sum);
    }
}

// Each factor's taps, designed once for every meter (a batch makes one per file).
struct Interpolator
{
    explicit Interpolator(int factor) { designInterpolator(factor, taps); }
    Taps taps = {};
};

const Taps& interpolatorTaps(int factor)
{
    static const Interpolator fourTimes(TruePeakMeter::kMaxFactor), once(1);
    return factor == TruePeakMeter::kMaxFactor ? fourTimes.taps : once.taps;
}
} // namespace

TruePeakMeter::TruePeakMeter(std::uint32_t channels, std::uint32_t sampleRate)
    : m_channels(channels), m_factor(sampleRate < 192000 ? kMaxFactor : 1),
      m_history(static_cast<std::size_t>(channels) * (kTapsPerPhase - 1), 0.f)
{
    std::memcpy(m_taps, interpolatorTaps(m_factor), sizeof m_taps);
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
        if (m_channels == 1)
            std::copy(interleaved, interleaved + frames, x + kHistory);
        else
            for (std::uint32_t i = 0; i < frames; ++i)
                x[kHistory + i] = interleaved[static_cast<std::size_t>(i) * m_channels + c];
#if defined(__SSE2__)
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
        __m128 highest = _mm_set1_ps(peak);
        std::uint32_t i = 0;
#if defined(CRUMLET_TRUE_PEAK_EIGHT_FRAMES)
        if (processorRuns(InstructionSet::Avx512F))
            i = peakSixteenFramesAtATime(x, frames, m_taps, highest);
        if (processorRuns(InstructionSet::Avx))
            i = peakEightFramesAtATime(x + i, frames - i, m_taps, highest) + i;
#endif
        Lanes<4>::Floats four = highest;
        i = peakFramesSideBySide<4>(x, frames, i, m_taps, four);
        highest = four;
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
