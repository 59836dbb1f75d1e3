// What the entries of the two lo-fi lists stand for. Bit-depth type k keeps 17 - k bits
// (type 0, "Off", keeps the full 24); down-sample index k divides 48000 Hz by k + 1 (index
// 0, "Off", holds nothing). The lists' texts (ValueLists.cpp) name these numbers.
#pragma once

constexpr int kFullDepthBits = 24;

// Bits kept for a bit-depth type 0..15; any other type keeps the full depth.
constexpr int bitsForDepthType(int type)
{
    return type >= 1 && type <= 15 ? 17 - type : kFullDepthBits;
}

// The bit-depth type that keeps `bits` bits (2 to 16), or 0 ("Off") for any other count.
constexpr int depthTypeForBits(int bits)
{
    return bits >= 2 && bits <= 16 ? 17 - bits : 0;
}

// The factor by which down-sample index 1..32 divides 48000 Hz; 0 for "Off" and anything below.
constexpr int downSampleDivisor(int index)
{
    return index >= 1 ? index + 1 : 0;
}
