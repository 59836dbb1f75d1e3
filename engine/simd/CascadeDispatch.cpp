#include "engine/simd/CascadeDispatch.h"

#include "engine/simd/F4.h"
#include "engine/simd/InstructionSets.h"
#include "engine/simd/WideRegisters.h"

namespace
{
// The copies this build has: the eight-lane cascades, and the stages' kernels for AVX-512's
// registers (engine/simd/WideRegisters.h).
#if defined(CRUMLET_WIDE_LANES)
constexpr bool kWideLanesBuilt = true;
#else
constexpr bool kWideLanesBuilt = false;
#endif
#if defined(CRUMLET_WIDE_REGISTERS) && (defined(__GNUC__) || defined(__clang__))
constexpr bool kWideRegistersBuilt = true;
#else
constexpr bool kWideRegistersBuilt = false;
#endif

const bool kWideLanesAvailable = kWideLanesBuilt && processorRuns(InstructionSet::Avx2);
const bool kWideRegistersAvailable =
    kWideLanesAvailable && kWideRegistersBuilt && processorRuns(InstructionSet::Avx512FVl);
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
