// The stages' four-lane kernels also come compiled for AVX-512's register file: 32 vector
// registers and three-operand instructions, where SSE2 has 16 registers and two operands
// (a mono chain keeps more constants and memories than 16 registers hold, and spills
// them). The operations are the same four-lane ones either way, and the build never
// contracts a multiply and an add into one rounding (-ffp-contract=off), so a channel's
// samples do not depend on which copy runs. Chosen at run time, like the eight-lane
// cascades, and turned off with them (allowWideLanes).
#pragma once

// Whether the processor runs the AVX-512 copies and they are allowed.
bool wideRegistersInUse();

#if defined(CRUMLET_WIDE_REGISTERS) && (defined(__GNUC__) || defined(__clang__))
namespace wide_registers_detail
{
// Everything run() calls is inlined here and compiled for AVX-512 (flatten), so no
// function shared with the SSE2 build is compiled for the wider set.
template <typename Run>
__attribute__((target("avx512f,avx512vl"), flatten)) void runWide(Run& run)
{
    run();
}
} // namespace wide_registers_detail
#endif

// Calls run() through its AVX-512 copy when wideRegistersInUse(), as it stands otherwise.
template <typename Run>
void runOnWidestRegisters(Run&& run)
{
#if defined(CRUMLET_WIDE_REGISTERS) && (defined(__GNUC__) || defined(__clang__))
    if (wideRegistersInUse())
        return wide_registers_detail::runWide(run);
#endif
    run();
}
