// The shipped presets' names as the parameters of a parameterised test, each with a test
// name GoogleTest accepts.
#pragma once

#include "cli/settings/Presets.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace crumlet_test
{
inline std::vector<std::string> factoryPresetNames()
{
    std::vector<std::string> names;
    for (const auto& preset : factoryPresets())
        names.push_back(preset.name);
    return names;
}

// A preset's name with every character that is not a letter or digit made '_'.
inline std::string presetTestName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}
} // namespace crumlet_test
