// BS.1770's two K-weighting stages designed for any rate by the bilinear transform: the head's
// high shelf (+4 dB above about 1.7 kHz) and the RLB high-pass (about 38 Hz). The arithmetic is
// libebur128's, operation for operation, so that the coefficients are the same doubles.
#pragma once

#include <cstdint>

struct KWeightingBiquad
{
    double b0, b1, b2, a1, a2; // a0 = 1
};

KWeightingBiquad kWeightingHeadShelf(std::uint32_t sampleRate);
KWeightingBiquad kWeightingHighPass(std::uint32_t sampleRate);
