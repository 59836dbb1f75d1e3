// Flushes denormals to zero for the lifetime of the guard, restoring the caller's mode.
#pragma once

#if defined(__SSE2__) || defined(_M_X64)
#include <xmmintrin.h>

class DenormalGuard
{
public:
    DenormalGuard() : m_saved(_mm_getcsr()) { _mm_setcsr(m_saved | kFlushToZero | kDenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(m_saved); }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned m_saved;
};
#elif defined(__aarch64__)
#include <cstdint>

// AArch64's FPCR.FZ flushes denormal inputs and results alike, as FTZ and DAZ do together.
class DenormalGuard
{
public:
    DenormalGuard() : m_saved(read()) { write(m_saved | kFlushToZero); }
    ~DenormalGuard() { write(m_saved); }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static std::uint64_t read()
    {
        std::uint64_t fpcr;
        __asm__ __volatile__("mrs %0, fpcr" : "=r"(fpcr));
        return fpcr;
    }
    static void write(std::uint64_t fpcr) { __asm__ __volatile__("msr fpcr, %0" : : "r"(fpcr)); }

    static constexpr std::uint64_t kFlushToZero = std::uint64_t{1} << 24;
    std::uint64_t m_saved;
};
#else
class DenormalGuard
{
};
#endif
