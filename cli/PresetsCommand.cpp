#include "cli/PresetsCommand.h"

#include "cli/Presets.h"

#include <nlohmann/json.hpp>

#include <cstdio>

int runPresets(bool json)
{
    if (json)
    {
        nlohmann::ordered_json out = nlohmann::ordered_json::array();
        for (const auto& preset : factoryPresets())
        {
            nlohmann::ordered_json values = nlohmann::ordered_json::object();
            for (const auto& v : preset.values)
                values[v.property] = v.text;
            out.push_back({{"name", preset.name}, {"values", values}});
        }
        std::printf("%s\n", out.dump(2).c_str());
        return 0;
    }
    for (const auto& preset : factoryPresets())
    {
        std::string device;
        for (const auto& v : preset.values)
            if (v.property == "SIMType")
                device = v.text;
        std::printf("%-20s %s, %zu settings\n", preset.name.c_str(), device.c_str(), preset.values.size());
    }
    std::printf("\nUse one with: crumlet render --preset \"%s\" --out OUT.wav\n",
                factoryPresets().empty() ? "NAME" : factoryPresets().front().name.c_str());
    return 0;
}
