#include "cli/EffectHost.h"
#include "cli/Presets.h"
#include "cli/UsageError.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace
{
ParameterSettings fresh()
{
    return ParameterSettings(EffectHost::instance().description());
}

std::vector<std::uint8_t> blockOf(const ParameterSettings& s)
{
    return EffectHost::instance().bankBlock(s);
}

class PresetFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("crumlet-presets-" + std::to_string(::getpid()) +
                                             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string write(const std::string& name, const std::string& text)
    {
        const auto path = (m_dir / name).string();
        std::ofstream(path) << text;
        return path;
    }

    std::string errorOf(const std::string& path)
    {
        ParameterSettings s = fresh();
        try
        {
            applyPreset(s, path);
        }
        catch (const std::exception& e)
        {
            return e.what();
        }
        return {};
    }

    fs::path m_dir;
};
} // namespace

TEST(FactoryPresets, EveryShippedPresetApplies)
{
    ASSERT_GE(factoryPresets().size(), 7u);
    for (const auto& preset : factoryPresets())
    {
        ParameterSettings s = fresh();
        EXPECT_NO_THROW(applyPreset(s, preset.name)) << preset.name;
        EXPECT_FALSE(preset.values.empty());
    }
    // Names are found whatever their case.
    ParameterSettings s = fresh();
    applyPreset(s, "PHONE CALL");
    EXPECT_EQ(s.value("SIMType"), 92.f); // House Phone
}

TEST_F(PresetFiles, ValuesReadAsOnTheCommandLine)
{
    ParameterSettings s = fresh();
    applyPreset(s, write("p.json", R"({"LoFiBitDepthType": 12, "LoFiDownSampleIndex": "#12", "GateEnable": false,
                                       "NoiseLevel": -50.5, "DistortionMode": "Nuke", "eqfreq": "2.5kHz",
                                       "description": "a test"})"));
    EXPECT_EQ(s.value("LoFiBitDepthType"), 5.f); // the entry "12", as --set LoFiBitDepthType=12
    EXPECT_EQ(s.value("LoFiDownSampleIndex"), 12.f);
    EXPECT_EQ(s.value("GateEnable"), 0.f);
    EXPECT_EQ(s.value("NoiseLevel"), -50.5f);
    EXPECT_EQ(s.value("DistortionMode"), 8.f);
    EXPECT_EQ(s.value("EQFreq"), 2500.f);

    ParameterSettings c = fresh();
    c.assign("LoFiBitDepthType=12");
    EXPECT_EQ(c.value("LoFiBitDepthType"), s.value("LoFiBitDepthType"));
}

TEST_F(PresetFiles, SaveAndLoadRoundTrip)
{
    ParameterSettings s = fresh();
    applyPreset(s, "Broken toy");
    s.assign("GateAttackTime=0.1");
    s.assign("EQGain=-11.75");
    const std::string path = (m_dir / "saved.json").string();
    savePreset(s, path, false);

    ParameterSettings back = fresh();
    applyPreset(back, path);
    EXPECT_EQ(blockOf(back), blockOf(s));

    // An existing preset file is replaced only when asked.
    s.assign("EQGain=3");
    EXPECT_THROW(savePreset(s, path, false), IoError);
    applyPreset(back, path);
    EXPECT_EQ(back.value("EQGain"), -11.75f);
    savePreset(s, path, true);
    applyPreset(back, path);
    EXPECT_EQ(back.value("EQGain"), 3.f);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1); // no partial left
}

TEST_F(PresetFiles, MalformedFilesSayWhere)
{
    const std::string syntax = errorOf(write("a.json", "{\n  \"NoiseLevel\": -40,,\n}"));
    EXPECT_NE(syntax.find("line 2, column 21"), std::string::npos) << syntax;
    EXPECT_NE(errorOf(write("b.json", "[1, 2]")).find("a JSON object"), std::string::npos);
    const std::string property = errorOf(write("c.json", R"({"NoiseLevel": 12})"));
    EXPECT_NE(property.find("c.json"), std::string::npos);
    EXPECT_NE(property.find("-96 to 0 dB"), std::string::npos);
    EXPECT_NE(errorOf(write("d.json", R"({"Nope": 1})")).find("unknown property \"Nope\""), std::string::npos);
    EXPECT_NE(errorOf(write("e.json", R"({"NoiseLevel": [1]})")).find("\"NoiseLevel\""), std::string::npos);
    // An unknown name is a usage error listing the presets.
    ParameterSettings s = fresh();
    EXPECT_THROW(applyPreset(s, (m_dir / "missing.json").string()), UsageError);
    EXPECT_NE(errorOf((m_dir / "missing.json").string()).find("\"Phone call\""), std::string::npos);
    EXPECT_NE(errorOf(write("f.json", R"({"description": 3})")).find("description"), std::string::npos);
}

// Found by fuzz_preset_file: a number beyond what a double holds made the JSON reader
// throw an error of its own that nothing caught.
TEST_F(PresetFiles, NumbersTooLargeToReadAreUsageErrors)
{
    for (const char* text : {R"({"NoiseLevel": 1e999})", "4e4444A44\"oFiBi b\x87tsv}\n"})
    {
        ParameterSettings s = fresh();
        const std::string path = write("huge.json", text);
        EXPECT_THROW(applyPreset(s, path), UsageError) << text;
        EXPECT_NE(errorOf(path).find("huge.json"), std::string::npos) << errorOf(path);
    }
}
