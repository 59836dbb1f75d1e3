#include "plugins/juce/SixSignificantDigits.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
__extension__ typedef unsigned __int128 Wide;

// 5^0 to 5^50: the smallest float, 2^-149 (1.4e-45), has its sixth digit at 10^-50.
struct PowersOfFive
{
    Wide at[51];
    constexpr PowersOfFive() : at{}
    {
        at[0] = 1;
        for (int i = 1; i < 51; ++i)
            at[i] = at[i - 1] * 5;
    }
};
constexpr PowersOfFive kFives;

enum class Rounding { Down, Nearest };

// a * 5^fives * 2^twos as a whole number, rounded down or to the nearest (halves to even).
// For every float the callers keep the numerator and the denominator below 2^127.
Wide scaled(Wide a, int fives, int twos, Rounding rounding)
{
    Wide numerator = a, denominator = 1;
    if (fives >= 0)
        numerator *= kFives.at[fives];
    else
        denominator = kFives.at[-fives];
    if (twos >= 0)
        numerator <<= twos;
    else
        denominator <<= -twos;
    const Wide quotient = numerator / denominator, twiceRest = 2 * (numerator % denominator);
    if (rounding == Rounding::Down)
        return quotient;
    const bool up = twiceRest > denominator || (twiceRest == denominator && (quotient & 1) != 0);
    return quotient + (up ? 1 : 0);
}

constexpr int kSmallestExponent = -149; // of the last bit of a subnormal
constexpr Wide kHiddenBit = Wide(1) << 23;
} // namespace

float toSixSignificantDigits(float v)
{
    if (!std::isfinite(v) || v == 0.f)
        return v;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    const std::uint32_t sign = bits & 0x80000000u;
    const int biased = static_cast<int>((bits >> 23) & 0xffu);
    // |v| = mantissa * 2^exponent2
    const Wide mantissa = biased == 0 ? Wide(bits & 0x7fffffu) : (kHiddenBit | (bits & 0x7fffffu));
    const int exponent2 = biased == 0 ? kSmallestExponent : biased - 150;

    // The decimal exponent e, 10^e <= |v| < 10^(e + 1). The estimate is never below it (the
    // logarithm is far more accurate than the nudge up) and at most one above it.
    int exponent10 = static_cast<int>(std::floor(std::log10(std::fabs(static_cast<double>(v))) + 1e-9));
    while (scaled(mantissa, 5 - exponent10, exponent2 + 5 - exponent10, Rounding::Down) < 100000)
        --exponent10;
    // Six digits: |v| / 10^(e - 5) to the nearest whole number, 100000 to 1000000.
    const int k = exponent10 - 5;
    const Wide digits = scaled(mantissa, -k, exponent2 - k, Rounding::Nearest);

    // The float nearest digits * 10^k: m * 2^p with 2^23 <= m < 2^24, or a subnormal's m at
    // the smallest p. The binade is where the exact value lies (that of v or one next to
    // it); rounding up may carry m to 2^24, the first float of the binade above.
    int p = exponent2;
    for (;;)
    {
        const Wide whole = scaled(digits, k, k - p, Rounding::Down);
        if (whole >= 2 * kHiddenBit)
            ++p;
        else if (whole < kHiddenBit && p > kSmallestExponent)
            --p;
        else
            break;
    }
    Wide m = scaled(digits, k, k - p, Rounding::Nearest);
    if (m == 2 * kHiddenBit)
        m = kHiddenBit, ++p;
    if (p > 104)
    {
        const float infinity = HUGE_VALF;
        return sign != 0 ? -infinity : infinity;
    }
    std::uint32_t out = static_cast<std::uint32_t>(m);
    if (m >= kHiddenBit)
        out = (static_cast<std::uint32_t>(p + 150) << 23) | (out & 0x7fffffu);
    out |= sign;
    float result = 0.f;
    std::memcpy(&result, &out, sizeof result);
    return result;
}
