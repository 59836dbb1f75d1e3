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
#else
class DenormalGuard
{
};
#endif
