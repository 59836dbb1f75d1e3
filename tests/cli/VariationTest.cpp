// Variation per file: how --vary is written, and draws that repeat for a seed, differ between
// seeds, spread over the setting ± the amount and never leave the property's range.
#include "cli/render/EffectHost.h"
#include "cli/render/Variation.h"
#include "cli/settings/UsageError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace
{
const quarl::PluginDescription& description()
{
    return EffectHost::instance().description();
}

std::string refusal(const std::string& text)
{
    try
    {
        parseVariation(description(), text);
    }
    catch (const UsageError& e)
    {
        return e.what();
    }
    return "accepted";
}
} // namespace

TEST(Variation, AmountsAreWrittenWithPlusMinusInThePropertysUnits)
{
    const int tuning = description().indexOf("SIMTuning");
    for (const char* text : {"SIMTuning=\xc2\xb1" "6", "SIMTuning=+-6", "simtuning = +/- 6", "SIMTuning=6%"})
    {
        const VariationSpec spec = parseVariation(description(), text);
        EXPECT_EQ(spec.property, static_cast<std::size_t>(tuning)) << text;
        EXPECT_DOUBLE_EQ(spec.amount, 6.0) << text;
    }
    EXPECT_DOUBLE_EQ(parseVariation(description(), "NoiseLevel=+-3dB").amount, 3.0);
    EXPECT_DOUBLE_EQ(parseVariation(description(), "FiltersLPFFreq=+-0.5kHz").amount, 500.0);

    EXPECT_NE(refusal("SIMTuning").find("NAME="), std::string::npos);
    EXPECT_NE(refusal("SIMTunin=+-6").find("did you mean \"SIMTuning\""), std::string::npos);
    EXPECT_NE(refusal("SIMTuning=+-0").find("positive amount"), std::string::npos);
    EXPECT_NE(refusal("NoiseLevel=+-3Hz").find("in dB"), std::string::npos);
    EXPECT_NE(refusal("SIMTuning=+-lots").find("positive amount"), std::string::npos);
}

TEST(Variation, DrawsRepeatForASeedDifferBetweenSeedsAndStayInRange)
{
    ParameterSettings base(description());
    base.set("SIMTuning", "100");
    base.set("NoiseLevel", "-2"); // near its top, 0 dB
    const std::vector<VariationSpec> specs = {parseVariation(description(), "SIMTuning=+-6"),
                                              parseVariation(description(), "NoiseLevel=+-3dB")};
    std::set<double> tunings;
    double lowest = 1e9, highest = -1e9;
    for (std::uint64_t seed = 0; seed < 400; ++seed)
    {
        ParameterSettings a = base, b = base;
        const auto drawn = applyVariation(a, specs, seed);
        const auto again = applyVariation(b, specs, seed);
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[0].value, again[0].value);
        EXPECT_EQ(drawn[1].value, again[1].value);
        EXPECT_GE(drawn[0].value, 94.0);
        EXPECT_LE(drawn[0].value, 106.0);
        EXPECT_NEAR(a.value("SIMTuning"), drawn[0].value, 1e-4);
        EXPECT_NEAR(drawn[0].offset, drawn[0].value - 100.0, 1e-9);
        // NoiseLevel's range ends at 0 dB: the draw is over -5 to 0.
        EXPECT_GE(drawn[1].value, -5.0);
        EXPECT_LE(drawn[1].value, 0.0);
        tunings.insert(drawn[0].value);
        lowest = std::min(lowest, drawn[0].value);
        highest = std::max(highest, drawn[0].value);
    }
    // Spread over the whole span, not stamped.
    EXPECT_GT(tunings.size(), 300u);
    EXPECT_LT(lowest, 94.5);
    EXPECT_GT(highest, 105.5);

    // A property's draw is its own: varying another property too leaves it alone.
    ParameterSettings alone = base, both = base;
    EXPECT_EQ(applyVariation(alone, {specs[0]}, 9)[0].value, applyVariation(both, specs, 9)[0].value);
}

TEST(Variation, ListsAndWholeNumbersDrawWholeSteps)
{
    ParameterSettings base(description());
    base.set("SIMType", "#10");
    const VariationSpec spec = parseVariation(description(), "SIMType=+-2");
    std::set<double> seen;
    for (std::uint64_t seed = 0; seed < 200; ++seed)
    {
        ParameterSettings s = base;
        const double v = applyVariation(s, {spec}, seed)[0].value;
        EXPECT_EQ(v, std::round(v));
        seen.insert(v - s.description().properties[spec.property].minValue);
    }
    EXPECT_EQ(seen, (std::set<double>{8, 9, 10, 11, 12}));
}

TEST(Variation, TheSeedComesFromTheOutputsFileName)
{
    EXPECT_EQ(seedFromName("out/police/line_001.wav"), seedFromName("elsewhere/line_001.wav"));
    EXPECT_NE(seedFromName("out/line_001.wav"), seedFromName("out/line_002.wav"));
}
