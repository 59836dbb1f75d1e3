#include "cli/SimsCommand.h"

#include "cli/EffectHost.h"

#include "engine/sim/SimModel.h"
#include "params/DeviceCategories.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace
{
const char* categoryOf(int model)
{
    const int c = deviceCategoryOf(model);
    return c >= 0 ? g_deviceCategories[c].heading : "";
}

nlohmann::ordered_json argumentsOf(const SimSection& s)
{
    switch (s.kind)
    {
    case SimKind::HighPass1:
    case SimKind::LowPass1: return nlohmann::ordered_json::object();
    case SimKind::HighPass2:
    case SimKind::LowPass2: return {{"damping", s.arg1}};
    case SimKind::Peaking: return {{"q", s.arg1}, {"gainDb", s.arg2}};
    case SimKind::LowShelf:
    case SimKind::HighShelf: return {{"s", s.arg1}, {"gainDb", s.arg2}};
    }
    return nlohmann::ordered_json::object();
}

std::string describe(const SimSection& s)
{
    char text[96];
    const char* tuned = s.tuning == Tuning::Tuned ? "T x " : "";
    switch (s.kind)
    {
    case SimKind::HighPass2:
    case SimKind::LowPass2:
        std::snprintf(text, sizeof text, "%-9s %s%g Hz, d %g", simKindName(s.kind), tuned, s.frequency, s.arg1);
        break;
    case SimKind::Peaking:
        std::snprintf(text, sizeof text, "%-9s %s%g Hz, Q %g, %+g dB", simKindName(s.kind), tuned, s.frequency, s.arg1,
                      s.arg2);
        break;
    case SimKind::LowShelf:
    case SimKind::HighShelf:
        std::snprintf(text, sizeof text, "%-9s %s%g Hz, S %g, %+g dB", simKindName(s.kind), tuned, s.frequency,
                      s.arg1, s.arg2);
        break;
    default: std::snprintf(text, sizeof text, "%-9s %s%g Hz", simKindName(s.kind), tuned, s.frequency); break;
    }
    return text;
}
} // namespace

int runSims(bool json)
{
    // The device names as the host knows them: SIMType's values.
    const auto& description = EffectHost::instance().description();
    const auto& names = description.properties.at(static_cast<std::size_t>(description.indexOf("SIMType"))).values;
    if (json)
    {
        nlohmann::ordered_json out = nlohmann::ordered_json::array();
        for (std::size_t m = 0; m < kSimModelCount; ++m)
        {
            const SimModelData& model = g_simModels[m];
            nlohmann::ordered_json sections = nlohmann::ordered_json::array();
            for (const SimSection& s : model.sections)
                sections.push_back({{"kind", simKindName(s.kind)},
                                    {"frequencyHz", s.frequency},
                                    {"arguments", argumentsOf(s)},
                                    {"tuned", s.tuning == Tuning::Tuned}});
            nlohmann::ordered_json level = model.level < 0.0 ? nlohmann::ordered_json(model.level) : "unity";
            out.push_back({{"index", m},
                           {"name", m < names.size() ? names[m] : std::string()},
                           {"category", categoryOf(static_cast<int>(m))},
                           {"levelDb", level},
                           {"sections", sections}});
        }
        std::printf("%s\n", out.dump(2).c_str());
        return 0;
    }
    for (std::size_t m = 0; m < kSimModelCount; ++m)
    {
        const SimModelData& model = g_simModels[m];
        char level[32];
        if (model.level < 0.0)
            std::snprintf(level, sizeof level, "%.1f dB", model.level);
        else
            std::snprintf(level, sizeof level, "unity");
        std::printf("%3zu  %-30s %-22s level %s\n", m, m < names.size() ? names[m].c_str() : "", categoryOf(static_cast<int>(m)), level);
        for (int k = 0; k < kSimSectionCount; ++k)
            std::printf("       %d  %s\n", k, describe(model.sections[k]).c_str());
    }
    std::printf("\nT x: the frequency follows SIMTuning (50 to 200 %%).\n");
    return 0;
}
