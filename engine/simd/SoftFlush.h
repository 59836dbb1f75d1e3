// Denormals flushed to zero where the processor cannot do it (WebAssembly has no such mode).
// DenormalGuard sets the processor's own flushing on x86-64 (FTZ and DAZ) and AArch64 (FZ):
// there a denormal operand counts as a zero of its sign and a denormal result becomes one.
// Elsewhere the scalar operations on samples go through these, which do the same in software,
// so that every target computes the same bits; on the others they are the plain operations.
// Internal to each file that uses them: a copy compiled for a wider instruction set
// (engine/simd/CascadeWide.cpp) is never the one another file calls.
#pragma once

#include <cfloat>
#include <cmath>

#if defined(__wasm__)
#define CRUMLET_SOFT_FLUSH 1
static inline float flushDenormal(float x)
{
    return std::fabs(x) < FLT_MIN ? std::copysign(0.f, x) : x;
}
#else
static inline float flushDenormal(float x)
{
    return x;
}
#endif

static inline float flushedProduct(float a, float b)
{
    return flushDenormal(flushDenormal(a) * flushDenormal(b));
}

static inline float flushedSum(float a, float b)
{
    return flushDenormal(flushDenormal(a) + flushDenormal(b));
}
