// The eight-lane cascade. This file alone is built for AVX2 and runs only after the
// processor has been checked; everything it defines is local to it or the one entry
// point, so no function compiled here can stand in for one of the four-lane build.
#include "engine/simd/CascadeDispatch.h"

#include <immintrin.h>

namespace
{
struct F8
{
    static constexpr int kWidth = 8;
    __m256 v;

    F8() : v(_mm256_setzero_ps()) {}
    F8(__m256 x) : v(x) {}
    static F8 load(const float* p) { return _mm256_loadu_ps(p); }
    void store(float* p) const { _mm256_storeu_ps(p, v); }

    friend F8 operator+(F8 a, F8 b) { return _mm256_add_ps(a.v, b.v); }
    friend F8 operator-(F8 a, F8 b) { return _mm256_sub_ps(a.v, b.v); }
    friend F8 operator*(F8 a, F8 b) { return _mm256_mul_ps(a.v, b.v); }
};
} // namespace

void runCascadeWide(int sections, int channels, BiquadSection* const* first, float* const* data, unsigned frames,
                    const CascadeOutput& output)
{
    runSkewedCascadeFor<F8>(sections, channels, first, data, frames, output);
    _mm256_zeroupper();
}
