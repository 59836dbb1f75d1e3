// The lo-fi lists' numbers: the bits each bit-depth type keeps and the factor each
// down-sample index divides 48 kHz by, as the lists' texts name them.
#include "params/LoFiSteps.h"
#include "params/ValueLists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

TEST(LoFiSteps, BitsPerDepthType)
{
    const int bits[16] = {24, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
    for (int type = 0; type < 16; ++type)
        EXPECT_EQ(bitsForDepthType(type), bits[type]) << type;
    EXPECT_EQ(bitsForDepthType(-1), 24);
    EXPECT_EQ(bitsForDepthType(16), 24);
    // Typing a bit count finds its type; a count the list does not hold is "Off".
    for (int type = 1; type < 16; ++type)
        EXPECT_EQ(depthTypeForBits(bitsForDepthType(type)), type) << type;
    for (int notListed : {-3, 0, 1, 17, 24})
        EXPECT_EQ(depthTypeForBits(notListed), 0) << notListed;
}

TEST(LoFiSteps, ListTextsNameTheNumbers)
{
    const std::vector<std::string> depths = valueListOf(ParamId::LoFiBitDepthType);
    ASSERT_EQ(depths.size(), 16u);
    EXPECT_EQ(depths[0], "Off");
    for (int type = 1; type < 16; ++type)
        EXPECT_EQ(depths[type], std::to_string(bitsForDepthType(type))) << type;

    const std::vector<std::string> rates = valueListOf(ParamId::LoFiDownSampleIndex);
    ASSERT_EQ(rates.size(), 33u);
    EXPECT_EQ(rates[0], "Off");
    EXPECT_EQ(downSampleDivisor(0), 0);
    for (int index = 1; index < 33; ++index)
        EXPECT_EQ(rates[index], std::to_string(std::lround(48000.0 / downSampleDivisor(index)))) << index;
    EXPECT_EQ(rates[6], "6857");
    EXPECT_EQ(rates[32], "1455");
}
