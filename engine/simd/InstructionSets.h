// The x86-64 instruction sets that vector code chooses among at run time (the engine's wide
// cascades and registers, the tool's dither and true-peak steps), asked of the processor in
// one place.
#pragma once

enum class InstructionSet
{
    Avx,        // 256-bit float vectors
    Avx2,       // 256-bit integer vectors
    Avx512F,    // 512-bit vectors and 32 vector registers
    Avx512FVl,  // AVX-512F in 128- and 256-bit forms too
    Avx512DqVl, // AVX-512's 64-bit integer products, in 128- and 256-bit forms
};

// Whether the processor, and the operating system that must save its registers, runs the set;
// false on other processors and where the compiler cannot ask. Safe from static initialisers.
bool processorRuns(InstructionSet set);
