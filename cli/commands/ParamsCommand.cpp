#include "cli/commands/ParamsCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/settings/NameSuggestions.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace
{
std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string shortList(const std::vector<std::string>& values)
{
    std::string out;
    for (std::size_t i = 0; i < values.size() && i < 4; ++i)
        out += (i > 0 ? ", " : "") + values[i];
    if (values.size() > 4)
        out += ", ... (" + std::to_string(values.size()) + ")";
    return out;
}
} // namespace

nlohmann::ordered_json propertiesJson()
{
    const EffectHost& host = EffectHost::instance();
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const auto& p : host.description().properties)
        out.push_back({{"id", p.id},
                       {"name", p.name},
                       {"type", quarl::toString(p.type)},
                       {"min", p.minValue},
                       {"max", p.maxValue},
                       {"default", p.defaultValue},
                       {"steps", p.steps()},
                       {"unit", p.unit},
                       {"displayName", host.displayName(p.name)},
                       {"alias", aliasOfProperty(p.name).empty() ? nlohmann::ordered_json()
                                                                  : nlohmann::ordered_json(aliasOfProperty(p.name))},
                       {"values", p.values}});
    return out;
}

int runParams(bool json)
{
    if (json)
    {
        std::printf("%s\n", propertiesJson().dump(2).c_str());
        return 0;
    }
    const EffectHost& host = EffectHost::instance();
    const auto& properties = host.description().properties;
    std::printf("%-3s %-20s %-9s %-5s %8s %8s %8s %5s  %-30s %s\n", "id", "property", "alias", "type", "min", "max",
                "default", "steps", "display name", "values");
    for (const auto& p : properties)
        std::printf("%-3d %-20s %-9s %-5s %8s %8s %8s %5d  %-30s %s\n", p.id, p.name.c_str(),
                    aliasOfProperty(p.name).c_str(), quarl::toString(p.type),
                    number(p.minValue).c_str(), number(p.maxValue).c_str(), number(p.defaultValue).c_str(),
                    p.steps(), host.displayName(p.name).c_str(),
                    p.values.empty() ? p.unit.c_str() : shortList(p.values).c_str());
    std::printf("\nAn alias is the control's legend in the editor; --set and presets take it for the name.\n");
    return 0;
}
