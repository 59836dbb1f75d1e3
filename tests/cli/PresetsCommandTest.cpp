// `crumlet presets WORDS`: the shipped presets found by words in their names and descriptions
// (as `crumlet spaces` and `crumlet sims` find theirs), a preset's own name still showing it.
#include "cli/settings/Presets.h"

#include "CrumletProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace
{
bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The presets a listing names, a line each, in order.
std::vector<std::string> presetsListed(const std::vector<std::string>& words)
{
    std::vector<std::string> args{"presets"};
    args.insert(args.end(), words.begin(), words.end());
    const ProcessResult r = runCrumlet(args);
    std::vector<std::string> names;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        for (const auto& preset : factoryPresets())
            if (line.rfind(preset.name + " ", 0) == 0 && has(line, preset.description))
                names.push_back(preset.name);
    return names;
}
} // namespace

TEST(PresetsCommand, WordsFindPresetsByNameAndDescription)
{
    // In names and in descriptions ("a cheap handheld two-way radio", "for period radio").
    EXPECT_EQ(presetsListed({"radio"}),
              (std::vector<std::string>{"Police radio", "Pilot radio", "Walkie-talkie", "Old record",
                                        "Radio in a stairwell", "Digital radio"}));
    // Only in descriptions: "hiss" is what the hissing presets say of themselves.
    const std::vector<std::string> hissing = presetsListed({"hiss"});
    EXPECT_NE(std::find(hissing.begin(), hissing.end(), "Answering machine"), hissing.end());
    EXPECT_EQ(std::find(hissing.begin(), hissing.end(), "Video call"), hissing.end());
    // Every word must be there, in any case; a quoted phrase on word boundaries.
    EXPECT_EQ(presetsListed({"TEAM", "chat"}), std::vector<std::string>{"Voice chat"});
    EXPECT_EQ(presetsListed({"next door"}), std::vector<std::string>{"Television next door"});
    // Five letters or more find the words they begin ("announce": "announcement").
    EXPECT_EQ(presetsListed({"announce"}), std::vector<std::string>{"PA system"});
    // What follows the effect and where it is heard are found too.
    EXPECT_EQ(presetsListed({"codec2:1300"}), std::vector<std::string>{"Digital radio"});
}

TEST(PresetsCommand, ANameStillShowsItsPresetAndNoMatchIsExitOne)
{
    // The name, quoted or as separate words, shows the preset with its values.
    for (const std::vector<std::string>& name : {std::vector<std::string>{"presets", "Phone call"},
                                                 std::vector<std::string>{"presets", "phone", "CALL"}})
    {
        const ProcessResult r = runCrumlet(name);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(has(r.out, "Phone call: ") && has(r.out, "  SIMType = House Phone")) << r.out;
    }
    // Words find presets as JSON too, by name.
    ProcessResult r = runCrumlet({"presets", "opus", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto found = nlohmann::json::parse(r.out);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_TRUE(found.contains("Video call") && found.contains("Voice chat")) << r.out;

    r = runCrumlet({"presets", "kazoo"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_TRUE(has(r.err, "no preset")) << r.err;
    // A near name is suggested.
    r = runCrumlet({"presets", "Polce radio"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(has(r.err, "Police radio")) << r.err;
    // Saving takes a preset's name, not words.
    EXPECT_EQ(runCrumlet({"presets", "radio", "--save", "/tmp/never-written.json"}).exitCode, 2);
}
