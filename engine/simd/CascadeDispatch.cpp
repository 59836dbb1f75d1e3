#include "engine/simd/CascadeDispatch.h"

#include "engine/simd/F4.h"
#include "engine/simd/WideRegisters.h"

namespace
{
bool detectWideLanes()
{
#if defined(CRUMLET_WIDE_LANES) && (defined(__GNUC__) || defined(__clang__))
    // Also answers whether the operating system saves the wide registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool detectWideRegisters()
{
#if defined(CRUMLET_WIDE_REGISTERS) && (defined(__GNUC__) || defined(__clang__))
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
#else
    return false;
#endif
}

const bool kWideLanesAvailable = detectWideLanes();
const bool kWideRegistersAvailable = kWideLanesAvailable && detectWideRegisters();
bool g_wideLanesAllowed = true;
} // namespace

bool wideLanesAvailable()
{
    return kWideLanesAvailable;
}

void allowWideLanes(bool allowed)
{
    g_wideLanesAllowed = allowed;
}

bool wideLanesInUse()
{
    return kWideLanesAvailable && g_wideLanesAllowed;
}

bool wideRegistersInUse()
{
    return kWideRegistersAvailable && g_wideLanesAllowed;
}

void runCascade(int sections, int channels, BiquadSection* const* first, float* const* data, unsigned frames,
                const CascadeOutput& output)
{
#if defined(CRUMLET_WIDE_LANES)
    if (wideLanesInUse())
        return runCascadeWide(sections, channels, first, data, frames, output);
#endif
    runSkewedCascadeFor<F4>(sections, channels, first, data, frames, output);
}

#if !defined(CRUMLET_WIDE_LANES)
void runCascadeWide(int sections, int channels, BiquadSection* const* first, float* const* data, unsigned frames,
                    const CascadeOutput& output)
{
    runSkewedCascadeFor<F4>(sections, channels, first, data, frames, output);
}
#endif
