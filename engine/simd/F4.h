// Four single-precision lanes, one channel per lane, so that up to four channels run
// through a stage together. Every operation rounds exactly as its scalar counterpart,
// so a channel's samples are the same whichever lane carries it.
#pragma once

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>

struct F4
{
    static constexpr int kWidth = 4;
    __m128 v;

    F4() : v(_mm_setzero_ps()) {}
    F4(__m128 x) : v(x) {}
    F4(float x) : v(_mm_set1_ps(x)) {}
    static F4 lanes(float a, float b, float c, float d) { return _mm_setr_ps(a, b, c, d); }
    static F4 load(const float* p) { return _mm_loadu_ps(p); }
    void store(float* p) const { _mm_storeu_ps(p, v); }
    float first() const { return _mm_cvtss_f32(v); }

    friend F4 operator+(F4 a, F4 b) { return _mm_add_ps(a.v, b.v); }
    friend F4 operator-(F4 a, F4 b) { return _mm_sub_ps(a.v, b.v); }
    friend F4 operator*(F4 a, F4 b) { return _mm_mul_ps(a.v, b.v); }
    friend F4 operator/(F4 a, F4 b) { return _mm_div_ps(a.v, b.v); }
};

// A per-lane condition: all bits set where true.
using M4 = F4;

inline F4 abs(F4 a) { return _mm_and_ps(a.v, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff))); }
// minps/maxps answer their second operand when either is NaN: min(a, b) keeps a NaN b.
inline F4 min(F4 a, F4 b) { return _mm_min_ps(a.v, b.v); }
inline F4 max(F4 a, F4 b) { return _mm_max_ps(a.v, b.v); }
inline M4 operator<(F4 a, F4 b) { return _mm_cmplt_ps(a.v, b.v); }
inline M4 operator>(F4 a, F4 b) { return _mm_cmpgt_ps(a.v, b.v); }
inline M4 operator>=(F4 a, F4 b) { return _mm_cmpge_ps(a.v, b.v); }
inline M4 operator&(M4 a, M4 b) { return _mm_and_ps(a.v, b.v); }
inline F4 select(M4 m, F4 a, F4 b) { return _mm_or_ps(_mm_and_ps(m.v, a.v), _mm_andnot_ps(m.v, b.v)); }
// [a0, a1, b0, b1]
inline F4 lowHalves(F4 a, F4 b) { return _mm_movelh_ps(a.v, b.v); }
// [a2, a3, a2, a3]
inline F4 highToLow(F4 a) { return _mm_movehl_ps(a.v, a.v); }
// [a0, b0, a1, b1]
inline F4 interleaveLow(F4 a, F4 b) { return _mm_unpacklo_ps(a.v, b.v); }
// [a1, 0, 0, 0]
inline F4 secondLaneFirst(F4 a) { return _mm_move_ss(_mm_setzero_ps(), _mm_shuffle_ps(a.v, a.v, 1)); }

// Rounds half away from zero, as std::round does; values beyond 2^23 are whole already
// and NaN stays NaN.
inline F4 roundHalfAway(F4 x)
{
    const __m128 truncated = _mm_cvtepi32_ps(_mm_cvttps_epi32(x.v));
    const __m128 fraction = _mm_sub_ps(x.v, truncated);
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 sign = _mm_and_ps(x.v, _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(0x80000000u))));
    const __m128 one = _mm_or_ps(_mm_set1_ps(1.f), sign);
    const __m128 up = _mm_cmpge_ps(abs(F4(fraction)).v, half);
    // The sign is put back so that -0.3 rounds to -0, as std::round does.
    const __m128 rounded = _mm_or_ps(_mm_add_ps(truncated, _mm_and_ps(up, one)), sign);
    const __m128 small = _mm_cmplt_ps(abs(x).v, _mm_set1_ps(8388608.f));
    return select(F4(small), F4(rounded), x);
}

// Truncates toward zero into four integers (for table positions already in range).
inline void truncateToInt(F4 x, int (&out)[4])
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_cvttps_epi32(x.v));
}

inline F4 toFloat(const int (&in)[4])
{
    return _mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
}
#elif defined(__ARM_NEON) || defined(__aarch64__)
#include <arm_neon.h>

// The same four lanes in NEON registers, rounding exactly as the SSE2 form does: min and max
// answer their second operand when either is NaN (as minps and maxps do, not as NEON's own
// fmin/fmax), conditions are all bits set where true.
struct F4
{
    static constexpr int kWidth = 4;
    float32x4_t v;

    F4() : v(vdupq_n_f32(0.f)) {}
    F4(float32x4_t x) : v(x) {}
    F4(float x) : v(vdupq_n_f32(x)) {}
    static F4 lanes(float a, float b, float c, float d)
    {
        const float t[4] = {a, b, c, d};
        return vld1q_f32(t);
    }
    static F4 load(const float* p) { return vld1q_f32(p); }
    void store(float* p) const { vst1q_f32(p, v); }
    float first() const { return vgetq_lane_f32(v, 0); }

    friend F4 operator+(F4 a, F4 b) { return vaddq_f32(a.v, b.v); }
    friend F4 operator-(F4 a, F4 b) { return vsubq_f32(a.v, b.v); }
    friend F4 operator*(F4 a, F4 b) { return vmulq_f32(a.v, b.v); }
    friend F4 operator/(F4 a, F4 b) { return vdivq_f32(a.v, b.v); }
};

// A per-lane condition: all bits set where true.
using M4 = F4;

inline float32x4_t maskOf(uint32x4_t m) { return vreinterpretq_f32_u32(m); }
inline uint32x4_t bitsOf(F4 a) { return vreinterpretq_u32_f32(a.v); }

inline F4 abs(F4 a) { return vabsq_f32(a.v); }
inline F4 min(F4 a, F4 b) { return vbslq_f32(vcltq_f32(a.v, b.v), a.v, b.v); }
inline F4 max(F4 a, F4 b) { return vbslq_f32(vcgtq_f32(a.v, b.v), a.v, b.v); }
inline M4 operator<(F4 a, F4 b) { return maskOf(vcltq_f32(a.v, b.v)); }
inline M4 operator>(F4 a, F4 b) { return maskOf(vcgtq_f32(a.v, b.v)); }
inline M4 operator>=(F4 a, F4 b) { return maskOf(vcgeq_f32(a.v, b.v)); }
inline M4 operator&(M4 a, M4 b) { return maskOf(vandq_u32(bitsOf(a), bitsOf(b))); }
inline F4 select(M4 m, F4 a, F4 b) { return vbslq_f32(bitsOf(m), a.v, b.v); }
// [a0, a1, b0, b1]
inline F4 lowHalves(F4 a, F4 b) { return vcombine_f32(vget_low_f32(a.v), vget_low_f32(b.v)); }
// [a2, a3, a2, a3]
inline F4 highToLow(F4 a) { return vcombine_f32(vget_high_f32(a.v), vget_high_f32(a.v)); }
// [a0, b0, a1, b1]
inline F4 interleaveLow(F4 a, F4 b) { return vzip1q_f32(a.v, b.v); }
// [a1, 0, 0, 0]
inline F4 secondLaneFirst(F4 a) { return vsetq_lane_f32(vgetq_lane_f32(a.v, 1), vdupq_n_f32(0.f), 0); }

// Rounds half away from zero, as std::round does (frinta: -0.3 gives -0, NaN stays NaN).
inline F4 roundHalfAway(F4 x) { return vrndaq_f32(x.v); }

// Truncates toward zero into four integers (for table positions already in range).
inline void truncateToInt(F4 x, int (&out)[4]) { vst1q_s32(out, vcvtq_s32_f32(x.v)); }

inline F4 toFloat(const int (&in)[4]) { return vcvtq_f32_s32(vld1q_s32(in)); }
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>

#include <cfloat>

// The same four lanes in WebAssembly's SIMD128, which has no mode that flushes denormals: every
// arithmetic operation and comparison here takes a denormal operand as a zero of its sign and
// turns a denormal result into one, as SSE2 does under DenormalGuard (FTZ and DAZ), so that the
// lanes compute the same bits. min and max answer their second operand when either is NaN, as
// minps and maxps do; conditions are all bits set where true.
namespace f4_detail
{
// x, or a zero of its sign where x is denormal.
inline v128_t flushed(v128_t x)
{
    const v128_t tiny = wasm_f32x4_lt(wasm_f32x4_abs(x), wasm_f32x4_splat(FLT_MIN));
    return wasm_v128_bitselect(wasm_v128_and(x, wasm_i32x4_splat(static_cast<int>(0x80000000u))), x, tiny);
}
} // namespace f4_detail

struct F4
{
    static constexpr int kWidth = 4;
    v128_t v;

    F4() : v(wasm_f32x4_splat(0.f)) {}
    F4(v128_t x) : v(x) {}
    F4(float x) : v(wasm_f32x4_splat(x)) {}
    static F4 lanes(float a, float b, float c, float d) { return wasm_f32x4_make(a, b, c, d); }
    static F4 load(const float* p) { return wasm_v128_load(p); }
    void store(float* p) const { wasm_v128_store(p, v); }
    float first() const { return wasm_f32x4_extract_lane(v, 0); }

    friend F4 operator+(F4 a, F4 b) { return f4_detail::flushed(wasm_f32x4_add(f4_detail::flushed(a.v), f4_detail::flushed(b.v))); }
    friend F4 operator-(F4 a, F4 b) { return f4_detail::flushed(wasm_f32x4_sub(f4_detail::flushed(a.v), f4_detail::flushed(b.v))); }
    friend F4 operator*(F4 a, F4 b) { return f4_detail::flushed(wasm_f32x4_mul(f4_detail::flushed(a.v), f4_detail::flushed(b.v))); }
    friend F4 operator/(F4 a, F4 b) { return f4_detail::flushed(wasm_f32x4_div(f4_detail::flushed(a.v), f4_detail::flushed(b.v))); }
};

// A per-lane condition: all bits set where true.
using M4 = F4;

inline F4 abs(F4 a) { return wasm_f32x4_abs(a.v); }
inline F4 min(F4 a, F4 b)
{
    const v128_t x = f4_detail::flushed(a.v), y = f4_detail::flushed(b.v);
    return wasm_v128_bitselect(x, y, wasm_f32x4_lt(x, y));
}
inline F4 max(F4 a, F4 b)
{
    const v128_t x = f4_detail::flushed(a.v), y = f4_detail::flushed(b.v);
    return wasm_v128_bitselect(x, y, wasm_f32x4_gt(x, y));
}
inline M4 operator<(F4 a, F4 b) { return wasm_f32x4_lt(f4_detail::flushed(a.v), f4_detail::flushed(b.v)); }
inline M4 operator>(F4 a, F4 b) { return wasm_f32x4_gt(f4_detail::flushed(a.v), f4_detail::flushed(b.v)); }
inline M4 operator>=(F4 a, F4 b) { return wasm_f32x4_ge(f4_detail::flushed(a.v), f4_detail::flushed(b.v)); }
inline M4 operator&(M4 a, M4 b) { return wasm_v128_and(a.v, b.v); }
inline F4 select(M4 m, F4 a, F4 b) { return wasm_v128_bitselect(a.v, b.v, m.v); }
// [a0, a1, b0, b1]
inline F4 lowHalves(F4 a, F4 b) { return wasm_i32x4_shuffle(a.v, b.v, 0, 1, 4, 5); }
// [a2, a3, a2, a3]
inline F4 highToLow(F4 a) { return wasm_i32x4_shuffle(a.v, a.v, 2, 3, 2, 3); }
// [a0, b0, a1, b1]
inline F4 interleaveLow(F4 a, F4 b) { return wasm_i32x4_shuffle(a.v, b.v, 0, 4, 1, 5); }
// [a1, 0, 0, 0]
inline F4 secondLaneFirst(F4 a) { return wasm_i32x4_shuffle(a.v, wasm_f32x4_splat(0.f), 1, 4, 4, 4); }

// Rounds half away from zero, as std::round does (a denormal rounds to a zero of its sign, as
// the SSE2 form's flushed arithmetic gives it).
inline F4 roundHalfAway(F4 x)
{
    const v128_t v = f4_detail::flushed(x.v);
    const v128_t truncated = wasm_f32x4_trunc(v);
    const v128_t sign = wasm_v128_and(v, wasm_i32x4_splat(static_cast<int>(0x80000000u)));
    const v128_t one = wasm_v128_or(wasm_f32x4_splat(1.f), sign);
    const v128_t up = wasm_f32x4_ge(wasm_f32x4_abs(wasm_f32x4_sub(v, truncated)), wasm_f32x4_splat(0.5f));
    const v128_t rounded = wasm_v128_or(wasm_f32x4_add(truncated, wasm_v128_and(up, one)), sign);
    const v128_t small = wasm_f32x4_lt(wasm_f32x4_abs(v), wasm_f32x4_splat(8388608.f));
    return wasm_v128_bitselect(rounded, x.v, small);
}

// Truncates toward zero into four integers (for table positions already in range).
inline void truncateToInt(F4 x, int (&out)[4]) { wasm_v128_store(out, wasm_i32x4_trunc_sat_f32x4(f4_detail::flushed(x.v))); }

inline F4 toFloat(const int (&in)[4]) { return wasm_f32x4_convert_i32x4(wasm_v128_load(in)); }
#elif defined(__wasm__)
#error "WebAssembly builds take -msimd128: the lanes flush denormals there, as the other targets do"
#else
#include <cmath>
#include <cstring>

struct F4
{
    static constexpr int kWidth = 4;
    float v[4];

    F4() : v{0.f, 0.f, 0.f, 0.f} {}
    F4(float x) : v{x, x, x, x} {}
    static F4 lanes(float a, float b, float c, float d)
    {
        F4 r;
        r.v[0] = a, r.v[1] = b, r.v[2] = c, r.v[3] = d;
        return r;
    }
    static F4 load(const float* p)
    {
        F4 r;
        std::memcpy(r.v, p, sizeof r.v);
        return r;
    }
    void store(float* p) const { std::memcpy(p, v, sizeof v); }
    float first() const { return v[0]; }

    template <typename Op>
    static F4 map(F4 a, F4 b, Op op)
    {
        F4 r;
        for (int i = 0; i < 4; ++i)
            r.v[i] = op(a.v[i], b.v[i]);
        return r;
    }
    friend F4 operator+(F4 a, F4 b) { return map(a, b, [](float x, float y) { return x + y; }); }
    friend F4 operator-(F4 a, F4 b) { return map(a, b, [](float x, float y) { return x - y; }); }
    friend F4 operator*(F4 a, F4 b) { return map(a, b, [](float x, float y) { return x * y; }); }
    friend F4 operator/(F4 a, F4 b) { return map(a, b, [](float x, float y) { return x / y; }); }
};

// A per-lane condition: 1.0 where true, 0.0 where false.
using M4 = F4;

inline F4 abs(F4 a) { return F4::map(a, a, [](float x, float) { return std::fabs(x); }); }
inline F4 min(F4 a, F4 b) { return F4::map(a, b, [](float x, float y) { return x < y ? x : y; }); }
inline F4 max(F4 a, F4 b) { return F4::map(a, b, [](float x, float y) { return x > y ? x : y; }); }
inline M4 operator<(F4 a, F4 b) { return F4::map(a, b, [](float x, float y) { return x < y ? 1.f : 0.f; }); }
inline M4 operator>(F4 a, F4 b) { return F4::map(a, b, [](float x, float y) { return x > y ? 1.f : 0.f; }); }
inline M4 operator>=(F4 a, F4 b) { return F4::map(a, b, [](float x, float y) { return x >= y ? 1.f : 0.f; }); }
inline M4 operator&(M4 a, M4 b) { return F4::map(a, b, [](float x, float y) { return x != 0.f && y != 0.f ? 1.f : 0.f; }); }
inline F4 select(M4 m, F4 a, F4 b)
{
    F4 r;
    for (int i = 0; i < 4; ++i)
        r.v[i] = m.v[i] != 0.f ? a.v[i] : b.v[i];
    return r;
}
inline F4 lowHalves(F4 a, F4 b) { return F4::lanes(a.v[0], a.v[1], b.v[0], b.v[1]); }
inline F4 highToLow(F4 a) { return F4::lanes(a.v[2], a.v[3], a.v[2], a.v[3]); }
inline F4 interleaveLow(F4 a, F4 b) { return F4::lanes(a.v[0], b.v[0], a.v[1], b.v[1]); }
inline F4 secondLaneFirst(F4 a) { return F4::lanes(a.v[1], 0.f, 0.f, 0.f); }
inline F4 roundHalfAway(F4 x) { return F4::map(x, x, [](float a, float) { return std::round(a); }); }
inline void truncateToInt(F4 x, int (&out)[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<int>(x.v[i]);
}
inline F4 toFloat(const int (&in)[4])
{
    return F4::lanes(static_cast<float>(in[0]), static_cast<float>(in[1]), static_cast<float>(in[2]),
                     static_cast<float>(in[3]));
}
#endif
