#include "engine/simd/InstructionSets.h"

namespace
{
struct Support
{
    bool avx = false, avx2 = false, avx512f = false, avx512vl = false, avx512dq = false;
};

Support askTheProcessor()
{
    Support s;
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
    // A static initialiser may ask before the runtime has looked.
    __builtin_cpu_init();
    s.avx = __builtin_cpu_supports("avx");
    s.avx2 = __builtin_cpu_supports("avx2");
    s.avx512f = __builtin_cpu_supports("avx512f");
    s.avx512vl = __builtin_cpu_supports("avx512vl");
    s.avx512dq = __builtin_cpu_supports("avx512dq");
#endif
    return s;
}
} // namespace

bool processorRuns(InstructionSet set)
{
    static const Support s = askTheProcessor();
    switch (set)
    {
    case InstructionSet::Avx: return s.avx;
    case InstructionSet::Avx2: return s.avx2;
    case InstructionSet::Avx512F: return s.avx512f;
    case InstructionSet::Avx512FVl: return s.avx512f && s.avx512vl;
    case InstructionSet::Avx512DqVl: return s.avx512dq && s.avx512vl;
    }
    return false;
}
