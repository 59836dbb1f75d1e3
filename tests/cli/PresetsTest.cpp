#include "cli/render/EffectHost.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"
#include "tests/support/TestFolder.h"

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
        m_dir = crumlet_test::freshTestFolder("crumlet-presets");
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

// From fuzz_preset_file: a number beyond what a double holds makes the JSON reader throw an
// error of its own, which must become a usage error.
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

// Deeply nested arrays: printing the whole value into the message, recursively, would
// overflow the stack at 60000 levels and make a 100 KB message at 50000.
TEST_F(PresetFiles, NestedValuesAreRefusedAsTheyOpenAndNothingLongIsEchoed)
{
    const int levels = 30000; // within the size a preset file may have
    const std::string deep = errorOf(write("deep.json", "{\"EQGain\": " + std::string(levels, '[') +
                                                            std::string(levels, ']') + "}"));
    EXPECT_NE(deep.find("\"EQGain\": values are numbers, texts or true/false, not an array"), std::string::npos) << deep;
    EXPECT_LT(deep.size(), 300u);
    const std::string top = errorOf(write("top.json", std::string(levels, '[') + std::string(levels, ']')));
    EXPECT_NE(top.find("a JSON object"), std::string::npos) << top.substr(0, 300);
    EXPECT_LT(top.size(), 300u);

    const std::string longText(60000, 'k');
    for (const std::string& text : {"{\"" + longText + "\": 1}", "{\"EQGain\": \"" + longText + "\"}",
                                    "{\"EQGain\": \"" + longText, "{\"EQGain\": 1" + longText + "}",
                                    "{\"EQGain\": 1e9" + std::string(60000, '9') + "}"})
    {
        const std::string error = errorOf(write("long.json", text));
        EXPECT_FALSE(error.empty());
        EXPECT_LT(error.size(), 400u) << error.substr(0, 400);
    }
}

// A NUL byte would end the text where the JSON reader meets it, leaving what follows unread.
TEST_F(PresetFiles, ANulByteIsRefused)
{
    for (const std::string& text : {std::string("{\"EQGain\": 3}\0{\"EQGain\": [", 25),
                                    std::string("{\"EQGain\": 3\0, \"NoiseLevel\": 12}", 33)})
    {
        ParameterSettings s = fresh();
        const std::string path = (m_dir / "nul.json").string();
        std::ofstream(path, std::ios::binary) << text;
        EXPECT_THROW(applyPreset(s, path), UsageError);
        EXPECT_NE(errorOf(path).find("NUL byte at line 1, column"), std::string::npos) << errorOf(path);
    }
}

// Two keys naming one property (in any case) are refused, not decided silently for the second.
TEST_F(PresetFiles, APropertyGivenTwiceInAnyCaseIsRefused)
{
    EXPECT_NE(errorOf(write("a.json", R"({"EQGain": 3, "EQGain": 4})")).find("\"EQGain\" is given twice"),
              std::string::npos);
    const std::string cased = errorOf(write("b.json", R"({"EQGain": 3, "NoiseLevel": -40, "eqgain": 4})"));
    EXPECT_NE(cased.find("\"eqgain\" is given twice (as \"EQGain\" before)"), std::string::npos) << cased;
    EXPECT_FALSE(errorOf(write("c.json", R"({"description": "a", "Description": "b"})")).empty());
    EXPECT_TRUE(errorOf(write("d.json", R"({"EQGain": 3, "NoiseLevel": -40})")).empty());
}

TEST_F(PresetFiles, FoldersDevicesAndLargeFilesAreRefused)
{
    EXPECT_NE(errorOf(m_dir.string()).find("is a folder, not a preset file"), std::string::npos);
    EXPECT_NE(errorOf("/dev/zero").find("is a device, not a preset file"), std::string::npos);
    // A file of exactly the limit loads; one byte more is refused.
    const std::string fits = "{\"EQGain\": 3" + std::string(kMostPresetFileBytes - 13, ' ') + "}";
    ASSERT_EQ(fits.size(), kMostPresetFileBytes);
    EXPECT_EQ(errorOf(write("fits.json", fits)), "");
    EXPECT_NE(errorOf(write("large.json", fits + "\n")).find("more than 65536 bytes"), std::string::npos);
}

// A file named like a shipped preset is not passed over for it without a word.
TEST_F(PresetFiles, AFileNamedLikeAShippedPresetIsNeitherTakenNorPassedOverSilently)
{
    struct InFolder
    {
        fs::path before = fs::current_path();
        explicit InFolder(const fs::path& folder) { fs::current_path(folder); }
        ~InFolder() { fs::current_path(before); }
    };
    {
        const InFolder here(m_dir);
        write("megaphone", R"({"EQGain": 7})");
        const std::string ambiguous = errorOf("megaphone");
        EXPECT_NE(ambiguous.find("names both the shipped preset \"Megaphone\" and a file"), std::string::npos)
            << ambiguous;
        EXPECT_NE(ambiguous.find("\"./megaphone\""), std::string::npos) << ambiguous;
        ParameterSettings s = fresh();
        EXPECT_EQ(errorOf("./megaphone"), "");
        applyPreset(s, "./megaphone");
        EXPECT_EQ(s.value("EQGain"), 7.f);
    }
    // Without the file, the name is the shipped preset's.
    EXPECT_EQ(errorOf("megaphone"), "");
}
