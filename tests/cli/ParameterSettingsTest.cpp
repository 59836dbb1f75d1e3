#include "cli/render/EffectHost.h"
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/UsageError.h"

#include "AssignmentError.h"
#include "engine/EngineParams.h"
#include "params/ParameterTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace
{
const quarl::PluginDescription& description()
{
    return EffectHost::instance().description();
}

ParameterSettings fresh()
{
    return ParameterSettings(description());
}

std::vector<std::uint8_t> blockOf(const ParameterSettings& s)
{
    return EffectHost::instance().bankBlock(s);
}

double valueOf(const ParameterSettings& s, ParameterId id)
{
    return s.value(toAscii(findParameter(id)->name));
}

// The value a parameter has after one more line of settings.
double assigned(ParameterSettings& s, const std::string& line, ParameterId id)
{
    s.assign(line);
    return valueOf(s, id);
}

float floatAt(const std::vector<std::uint8_t>& block, std::size_t offset)
{
    float f;
    std::memcpy(&f, block.data() + offset, 4);
    return f;
}

std::int32_t intAt(const std::vector<std::uint8_t>& block, std::size_t offset)
{
    std::int32_t i;
    std::memcpy(&i, block.data() + offset, 4);
    return i;
}

} // namespace

TEST(ParameterSettings, DefaultBlockBytes)
{
    const auto block = blockOf(fresh());
    ASSERT_EQ(block.size(), 139u);
    // FiltersEnable on; FiltersLPFFreq 18000 and Balance 100 as little-endian floats.
    const std::pair<std::size_t, std::uint8_t> expected[] = {
        {0, 1},      {5, 0x00},   {6, 0xA0},   {7, 0x8C},   {8, 0x46},
        {135, 0x00}, {136, 0x00}, {137, 0xC8}, {138, 0x42},
    };
    for (const auto& [offset, byte] : expected)
        EXPECT_EQ(block[offset], byte) << "byte " << offset;
}

TEST(ParameterSettings, NumbersUnitsTextsAndSwitches)
{
    ParameterSettings s = fresh();
    s.assign("NoiseLevel=-40");
    s.assign("EQGain=-6dB");
    s.assign("FiltersLPFFreq = 1000 Hz");
    s.assign("DistortionMode=Fuzz");
    s.assign("LoFiDownSampleIndex=8000");
    s.assign("FiltersHPFSlope=24 dB/oct");
    s.assign("SIMType=Modern Phone");
    s.assign("GateEnable=off");
    s.assign("LoFiBitDepthType=12 bits");
    s.assign("EQFilterType=lpf");
    EXPECT_EQ(valueOf(s, ParamId::NoiseLevel), -40.f);
    EXPECT_EQ(valueOf(s, ParamId::EQGain), -6.f);
    EXPECT_EQ(valueOf(s, ParamId::FiltersLPFFreq), 1000.f);
    EXPECT_EQ(valueOf(s, ParamId::DistortionMode), 2.f);
    EXPECT_EQ(valueOf(s, ParamId::LoFiDownSampleIndex), 5.f);
    EXPECT_EQ(valueOf(s, ParamId::FiltersHPFSlope), 1.f);
    EXPECT_EQ(valueOf(s, ParamId::SIMType), 1.f);
    EXPECT_EQ(valueOf(s, ParamId::GateEnable), 0.f);
    EXPECT_EQ(valueOf(s, ParamId::LoFiBitDepthType), 5.f); // the entry "12"
    EXPECT_EQ(valueOf(s, ParamId::EQFilterType), 2.f);

    // A bare number is the entry with that text; for a list of numbers, one that is no entry's
    // text is refused (NameSuggestionsTest); #N is always the index.
    EXPECT_EQ(assigned(s, "LoFiBitDepthType=12", ParamId::LoFiBitDepthType), 5.f); // "12" bits
    EXPECT_EQ(assigned(s, "LoFiBitDepthType=#12", ParamId::LoFiBitDepthType), 12.f); // "5" bits
    EXPECT_EQ(assigned(s, "LoFiBitDepthType=#1", ParamId::LoFiBitDepthType), 1.f); // index 1, "16"
    EXPECT_EQ(assigned(s, "LoFiDownSampleIndex=12000", ParamId::LoFiDownSampleIndex), 3.f);
    EXPECT_EQ(assigned(s, "LoFiDownSampleIndex=8kHz", ParamId::LoFiDownSampleIndex), 5.f);
    EXPECT_EQ(assigned(s, "LoFiDownSampleIndex=#8", ParamId::LoFiDownSampleIndex), 8.f);
    EXPECT_EQ(assigned(s, "DistortionMode=3", ParamId::DistortionMode), 3.f); // "LoFi"
    s.assign("LoFiDownSampleIndex=8000");
    s.assign("DistortionMode=Fuzz");

    // Prefixed and alternative units, names in any case.
    EXPECT_EQ(assigned(s, "eqfreq=3.4kHz", ParamId::EQFreq), 3400.f);
    EXPECT_EQ(assigned(s, "FILTERSHPFFREQ=3k", ParamId::FiltersHPFFreq), 3000.f);
    EXPECT_EQ(assigned(s, "GateReleaseTime=50ms", ParamId::GateReleaseTime), 50.f);
    EXPECT_EQ(assigned(s, "GateHoldTime=0.05s", ParamId::GateHoldTime), 50.f);

    // The texts reach the block at the host-order offsets.
    const auto block = blockOf(s);
    EXPECT_EQ(intAt(block, 26), 2);      // DistortionMode
    EXPECT_EQ(floatAt(block, 55), -6.f); // EQGain
    EXPECT_EQ(intAt(block, 85), 1);      // SIMType
    EXPECT_EQ(block[93], 0);             // GateEnable
    EXPECT_EQ(intAt(block, 119), 5);     // LoFiDownSampleIndex
}

TEST(ParameterSettings, ErrorsNameThePropertyAndItsRange)
{
    ParameterSettings s = fresh();
    const std::string before = std::string(reinterpret_cast<const char*>(blockOf(s).data()), 139);

    EXPECT_NE(errorOf(s, "NoiseLevl=5").find("did you mean \"NoiseLevel\""), std::string::npos);
    const std::string range = errorOf(s, "NoiseLevel=5");
    EXPECT_NE(range.find("\"NoiseLevel\""), std::string::npos);
    EXPECT_NE(range.find("-96 to 0 dB"), std::string::npos);
    EXPECT_NE(errorOf(s, "GateAttackTime=0.05").find("0.1 to 100 ms"), std::string::npos);
    EXPECT_FALSE(errorOf(s, "SIMType=164").empty());
    EXPECT_FALSE(errorOf(s, "DistortionMode=2.5").empty());
    EXPECT_FALSE(errorOf(s, "EQFreq=nan").empty());
    EXPECT_FALSE(errorOf(s, "EQFreq=inf").empty());
    EXPECT_FALSE(errorOf(s, "EQFreq=").empty());
    EXPECT_FALSE(errorOf(s, "EQFreq=100 dB").empty());
    EXPECT_FALSE(errorOf(s, "EQFreq=3kms").empty());
    EXPECT_FALSE(errorOf(s, "NoiseLevel=-6k").empty()); // prefixes belong to Hz
    EXPECT_FALSE(errorOf(s, "LoFiBitDepthType=#16").empty());
    EXPECT_FALSE(errorOf(s, "LoFiBitDepthType=#").empty());
    EXPECT_FALSE(errorOf(s, "LoFiDownSampleIndex=7000").empty()); // neither an entry nor an index
    EXPECT_FALSE(errorOf(s, "FiltersEnable=maybe").empty());
    EXPECT_FALSE(errorOf(s, "no equals sign").empty());

    // A refused value changes nothing.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(blockOf(s).data()), 139), before);
}

// A name or value of megabytes is quoted in part, not echoed whole (nor a name given seconds
// per property for its suggestion); control characters never reach the terminal.
TEST(ParameterSettings, ErrorsQuoteWhatWasGivenInPartAndEscaped)
{
    ParameterSettings s = fresh();
    const std::string longName(1 << 20, 'N');
    for (const std::string& assignment : {longName + "=1", "EQGain=" + longName, longName})
    {
        const std::string error = errorOf(s, assignment);
        EXPECT_LT(error.size(), 300u) << error.substr(0, 300);
        EXPECT_NE(error.find("NNN...\" (1048"), std::string::npos) << error.substr(0, 300);
    }
    EXPECT_NE(errorOf(s, "EQGain=\x1b[31mred\nline").find("\"\\x1b[31mred\\nline\""), std::string::npos)
        << errorOf(s, "EQGain=\x1b[31mred\nline");
}

// A value ends at its last byte, not at a NUL: "0dB\0junk" is not 0 dB, in any kind of value.
TEST(ParameterSettings, AValueWithANulIsRefused)
{
    ParameterSettings s = fresh();
    const std::string before = std::string(reinterpret_cast<const char*>(blockOf(s).data()), 139);
    for (const std::string value : {"0dB", "House Phone", "on", "#3", "8000 Hz", "12 bits", "3.4kHz"})
        for (const std::string& withNul : {value + std::string(1, '\0') + "junk", value + std::string(1, '\0')})
            for (const char* name : {"NoiseLevel", "SIMType", "SIMEnable", "LoFiBitDepthType", "LoFiDownSampleIndex",
                                     "EQFreq"})
            {
                const std::string error = errorOf(s, std::string(name) + "=" + withNul);
                EXPECT_NE(error.find("NUL"), std::string::npos) << name << "=" << value << ": " << error;
                EXPECT_NE(error.find(name), std::string::npos) << error;
            }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(blockOf(s).data()), 139), before);
}

TEST(ParameterSettings, BlockRoundTripAndTheEngineReadsIt)
{
    ParameterSettings s = fresh();
    s.assign("FiltersEnable=off");
    s.assign("FiltersLPFSlope=#1");
    s.assign("DistortionAmount=42.5");
    s.assign("SIMType=163");
    s.assign("LoFiDownSampleIndex=#32");
    s.assign("InputGain=-6");
    s.assign("Balance=25");
    const auto block = blockOf(s);

    ParameterSettings back = fresh();
    back.loadBlock(block);
    EXPECT_EQ(blockOf(back), block);
    for (const auto& p : description().properties)
        EXPECT_EQ(back.value(p.name), s.value(p.name)) << p.name;

    EngineParams engine;
    ASSERT_EQ(engine.SetParamsBlock(block.data(), static_cast<std::uint32_t>(block.size())), ZQ::Quarl::Success);
    EXPECT_FALSE(engine.filters.enable);
    EXPECT_EQ(engine.filters.lpfSlope, 1);
    EXPECT_EQ(engine.distortion.amount, 42.5f);
    EXPECT_EQ(engine.sim.type, 163);
    EXPECT_EQ(engine.lofi.downSampleIndex, 32);
    EXPECT_NEAR(engine.gains.inputGain, 0.501187f, 1e-6f);
    EXPECT_EQ(engine.gains.balance, 25.f);

    EXPECT_THROW(back.loadBlock(std::vector<std::uint8_t>(138)), UsageError);
    EXPECT_THROW(back.loadBlock(std::vector<std::uint8_t>(140)), UsageError);
}

TEST(ParameterSettings, ValueTextsReadBack)
{
    ParameterSettings s = fresh();
    s.assign("DistortionMode=Clip");
    s.assign("LoFiBitDepthType=12 bits");
    s.assign("GateThreshold=-33.3");
    for (std::size_t i = 0; i < description().properties.size(); ++i)
    {
        const std::string& name = description().properties[i].name;
        ParameterSettings copy = fresh();
        copy.set(name, s.valueText(i));
        EXPECT_EQ(copy.value(name), s.value(name)) << name << " = " << s.valueText(i);
    }
}

TEST(ParameterSettings, ABlockIsReadIntoRangeAsTheEngineReadsIt)
{
    ParameterSettings s = fresh();
    std::vector<std::uint8_t> block = blockOf(s);
    const float nan = std::nanf("");
    const float loud = 1e30f;
    std::memcpy(block.data() + 55, &nan, 4);  // EQGain
    std::memcpy(block.data() + 47, &loud, 4); // EQFreq
    const std::int32_t device = 999;
    std::memcpy(block.data() + 85, &device, 4); // SIMType
    s.loadBlock(block);
    EXPECT_EQ(valueOf(s, ParamId::EQGain), 0.f);
    EXPECT_EQ(valueOf(s, ParamId::EQFreq), 12000.f); // its top
    EXPECT_EQ(valueOf(s, ParamId::SIMType), 163.f);
    // What is read can be saved and read again.
    EXPECT_NO_THROW(s.set("EQGain", s.valueText(static_cast<std::size_t>(description().indexOf("EQGain")))));
}
