// What a tired user typed, found: the editor's legends as names, the properties holding a
// word, the nearest preset, and a bare number for a list of numbers refused with both readings.
#include "cli/render/EffectHost.h"
#include "cli/settings/NameSuggestions.h"
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"
#include "editor/EditorLayout.h"

#include "AssignmentError.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace
{
ParameterSettings fresh()
{
    return ParameterSettings(EffectHost::instance().description());
}


bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
} // namespace

TEST(NameSuggestions, TheEditorsLegendsAreAliases)
{
    ParameterSettings s = fresh();
    s.assign("DRIVE=40");
    EXPECT_EQ(s.value("DistortionAmount"), 40.0);
    s.assign("duck=-20");
    EXPECT_EQ(s.value("NoiseThresh"), -20.0);
    s.assign("Balance=50");
    EXPECT_EQ(s.value("Balance"), 50.0);
    s.assign("RATE=8kHz");
    EXPECT_EQ(s.value("LoFiDownSampleIndex"), 5.0);
    s.assign("BITS=8");
    EXPECT_EQ(s.value("LoFiBitDepthType"), 9.0);
    // Every alias is a legend printed beside the one control of its property.
    for (const auto& a : propertyAliases())
    {
        bool printed = false;
        for (const auto& c : EditorLayout::controls())
            printed = printed || (c.legend != nullptr && a.alias == c.legend && c.parameter != nullptr &&
                                  a.property == c.parameter);
        EXPECT_TRUE(printed) << a.alias;
        EXPECT_GE(EffectHost::instance().description().indexOf(a.property), 0) << a.property;
    }
    // Legends over several controls, or words of several names, would guess: they are not aliases.
    for (const char* guess : {"FREQ", "RANGE", "Q", "GAIN", "LPF", "HPF", "FILTER", "ON"})
        EXPECT_EQ(propertyForAlias(guess), "") << guess;
    EXPECT_EQ(aliasOfProperty("DistortionAmount"), "DRIVE");
    EXPECT_EQ(aliasOfProperty("EQFreq"), "");
}

// `--set LPF=3000` suggested "EQQ".
TEST(NameSuggestions, APartOfANameListsThePropertiesHoldingIt)
{
    ParameterSettings s = fresh();
    const std::string lpf = errorOf(s, "LPF=3000");
    EXPECT_TRUE(has(lpf, "unknown property \"LPF\"; properties with \"LPF\" in their names: \"FiltersLPFSlope\", "
                         "\"FiltersLPFFreq\", \"FiltersLPFQ\", \"NoiseLPFFreq\""))
        << lpf;
    EXPECT_FALSE(has(lpf, "EQQ")) << lpf;
    EXPECT_TRUE(has(errorOf(s, "gain=3"), "\"EQGain\", \"InputGain\", \"OutputGain\"") ||
                has(errorOf(s, "gain=3"), "\"EQGain\"")) << errorOf(s, "gain=3");
    EXPECT_TRUE(has(errorOf(s, "mix=50"), "did you mean \"Balance\"?")) << errorOf(s, "mix=50");
    EXPECT_TRUE(has(errorOf(s, "NoiseLevl=5"), "did you mean \"NoiseLevel\"?"));
    EXPECT_TRUE(has(errorOf(s, "DRIVEE=5"), "did you mean \"DRIVE\"?")) << errorOf(s, "DRIVEE=5");
    // Nothing near: no guess.
    EXPECT_EQ(errorOf(s, "Zorp=1"), "unknown property \"Zorp\"");
}

// `LoFiDownSampleIndex=8` reads as 8000 Hz (`8kHz`) or as index 8 (5333 Hz): neither is taken
// silently.
TEST(NameSuggestions, ABareNumberThatIsNoEntryIsRefusedWithBothReadings)
{
    ParameterSettings s = fresh();
    EXPECT_EQ(errorOf(s, "LoFiDownSampleIndex=8"),
              "a bare 8 reads two ways for \"LoFiDownSampleIndex\": 8000 Hz is `8kHz`; index 8, 5333 Hz, is `#8`");
    EXPECT_EQ(s.value("LoFiDownSampleIndex"), 0.0); // left as it was
    EXPECT_EQ(errorOf(s, "LoFiBitDepthType=1"),
              "a bare 1 reads two ways for \"LoFiBitDepthType\": 1 bit is not one of its entries; index 1, 16 bits, "
              "is `#1`");
    EXPECT_TRUE(has(errorOf(s, "FiltersLPFSlope=1"), "index 1, 24 dB/oct, is `#1`")) << errorOf(s, "FiltersLPFSlope=1");
    EXPECT_TRUE(has(errorOf(s, "LoFiDownSampleIndex=32"), "32 Hz is not one of its entries; index 32, 1455 Hz"))
        << errorOf(s, "LoFiDownSampleIndex=32");
    // Each setting as written, and the value its parameter then holds.
    const std::pair<std::string, double> readings[] = {
        // Only one reading possible (there is no index 24): that entry.
        {"FiltersLPFSlope=24", 1.0},
        {"FiltersLPFSlope=12", 0.0},
        // Both written forms are taken; entries' texts and lists of words are as before.
        {"LoFiDownSampleIndex=8kHz", 5.0},
        {"LoFiDownSampleIndex=#8", 8.0},
        {"LoFiDownSampleIndex=5333", 8.0},
        {"LoFiBitDepthType=8", 9.0},
        {"DistortionMode=3", 3.0}, // a list of words: the index
        {"SIMType=99", 99.0},
    };
    for (const auto& [setting, value] : readings)
    {
        s.assign(setting);
        EXPECT_EQ(s.value(setting.substr(0, setting.find('='))), value) << setting;
    }
}

TEST(NameSuggestions, AMistypedPresetGetsDidYouMean)
{
    std::vector<std::string> names;
    for (const auto& p : factoryPresets())
        names.push_back(p.name);
    EXPECT_EQ(nameSuggestion(names, "Polce radio"), "did you mean \"Police radio\"?");
    EXPECT_EQ(nameSuggestion(names, "walkie"), "did you mean \"Walkie-talkie\"?");
    EXPECT_EQ(nameSuggestion(names, "radio"),
              "did you mean \"Police radio\", \"Pilot radio\", \"Radio in a stairwell\", \"Digital radio\" (one of "
              "them)?");
    EXPECT_EQ(nameSuggestion(names, "xyzzy"), "");
    ParameterSettings s = fresh();
    try
    {
        applyPreset(s, "Megafone");
        FAIL();
    }
    catch (const UsageError& e)
    {
        EXPECT_TRUE(has(e.what(), "no preset named \"Megafone\" and no file of that name; did you mean \"Megaphone\"?"))
            << e.what();
    }
}
