// The number read from a typed value: decimal notation only, in the C locale's form,
// finite whatever the text.
#include "tests/widgets/CommaLocale.h"
#include "widgets/TypedNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace
{
constexpr float kLargest = std::numeric_limits<float>::max();

struct Case
{
    std::string text;
    float number;
};

void expectReads(const std::vector<Case>& cases)
{
    for (const Case& c : cases)
    {
        const float read = leadingDecimalNumber(c.text);
        EXPECT_EQ(read, c.number) << '"' << c.text << '"';
        EXPECT_FALSE(std::signbit(read) && read == 0.0f) << '"' << c.text << "\" reads -0";
    }
}
} // namespace

TEST(TypedNumber, TheLeadingDecimalNumberIsRead)
{
    expectReads({{"12 dB", 12.0f},
                 {"-3.5dB", -3.5f},
                 {"  +7", 7.0f},
                 {"\t2000 Hz", 2000.0f},
                 {"2.5e3 Hz", 2500.0f},
                 {"25E-1", 2.5f},
                 {"5.", 5.0f},
                 {".5", 0.5f},
                 {"-.25", -0.25f},
                 {"1e", 1.0f},
                 {"1e+", 1.0f},
                 {"12 e3", 12.0f},
                 {"0.1", 0.1f},
                 {"007", 7.0f},
                 {"16777217", 16777216.0f}}); // rounded once, to the nearest float
}

TEST(TypedNumber, TextWithoutADecimalNumberReadsZero)
{
    expectReads({{"", 0.0f},
                 {"abc", 0.0f},
                 {"nan", 0.0f},
                 {"NaN", 0.0f},
                 {"-nan(0x7)", 0.0f},
                 {"inf", 0.0f},
                 {"-Infinity", 0.0f},
                 {"0x10", 0.0f},
                 {"0X1p4", 0.0f},
                 {".", 0.0f},
                 {"-", 0.0f},
                 {"+.e5", 0.0f},
                 {",5", 0.0f},
                 {"-0", 0.0f},
                 {"-0.000", 0.0f},
                 {"\xe2\x88\x92" "3", 0.0f}}); // a typographic minus sign
}

TEST(TypedNumber, BeyondTheFloatRangeReadsTheLargestOrZero)
{
    expectReads({{"1e400", kLargest},
                 {"-1e400", -kLargest},
                 {"1e39", kLargest},
                 {"3.4028235e38", kLargest},
                 {"1e99999999999999999999", kLargest},
                 {std::string(400, '9'), kLargest},
                 {"0.0001e45", kLargest},
                 {"1e-400", 0.0f},
                 {"-1e-50", 0.0f},
                 {"100000e-52", 0.0f},
                 {"0." + std::string(400, '0') + "1", 0.0f},
                 {"0e999999999", 0.0f}});
    EXPECT_GT(leadingDecimalNumber("1e-40"), 0.0f) << "a subnormal float is still a float";
}

TEST(TypedNumber, TheDecimalPointIsAFullStopWhateverTheLocale)
{
    CommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    expectReads({{"2.5", 2.5f}, {"2,5", 2.0f}, {"-1.25e1", -12.5f}});
}
