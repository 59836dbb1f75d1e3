#include "cli/commands/SimsCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/pictures/SimResponse.h"
#include "cli/io/QuotedText.h"
#include "cli/settings/DeviceSearch.h"
#include "cli/settings/SpaceSearch.h"
#include "cli/settings/UsageError.h"

#include "engine/sim/SimModel.h"
#include "params/DeviceCategories.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

const char* const kSimsSectionsHelp =
    "Each device model is seven filter sections and an output level, designed at the render's rate.\n"
    "With --sections, each section is listed as KIND FREQUENCY [ARGUMENTS]:\n"
    "  HighPass1, LowPass1   first-order high- and low-pass\n"
    "  HighPass2, LowPass2   second-order high- and low-pass; d: damping (0.7 is flat, lower rings)\n"
    "  Peaking               a bell; Q: sharpness, then its gain in dB\n"
    "  LowShelf, HighShelf   shelves; S: shelf slope, then the shelf's gain in dB\n"
    "  T x                   the frequency follows SIMTuning (50 to 200 %)\n"
    "The level is the model's output gain in dB (0: played at its own gain).\n"
    "The description is read off the summed response at 48 kHz, smoothed over an octave: the band\n"
    "heard (third-octave smoothed), down to 10 dB under the pass band's level (the median of the response where it lies\n"
    "within 15 dB of its top), then its character: a bass bump (3 dB or more below 250 Hz), the\n"
    "strongest peak 4 dB or more above the level (boxy under 500 Hz, honky to 2.5 kHz, bright\n"
    "above; a ringing resonance when 6 dB above its octave), no bass (from 250 Hz), no treble\n"
    "(to 4 kHz) or muffled (to 2 kHz), flat (within 3 dB).\n"
    "WORDS: each must stand whole in a device's name, category, tags or description (a word of\n"
    "five letters or more also finds longer words it begins: announce, announcement); quote a\n"
    "phrase: crumlet sims \"public address\". --json lists each device's tags. Words that find\n"
    "spaces too (station, hall, reverb) name them and `crumlet spaces`, where a line is heard.";

namespace
{
std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool contains(const std::string& text, const std::string& word)
{
    return lower(text).find(lower(word)) != std::string::npos;
}

const char* categoryOf(int model)
{
    const int c = deviceCategoryOf(model);
    return c >= 0 ? g_deviceCategories[c].heading : "";
}

// The model's level in dB: 0 for a model played at its own gain.
double levelDbOf(const SimModelData& model)
{
    return model.level < 0.0 ? model.level : 0.0;
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

namespace
{
struct ListedModel
{
    std::size_t index;
    std::string name;
    std::string category;
    std::vector<std::string> tags;
    SimResponse response;
};

// The models the options pick, in table order; UsageError for a category that none has.
std::vector<ListedModel> listedModels(const SimsOptions& options)
{
    // The device names as the host knows them: SIMType's values.
    const auto& description = EffectHost::instance().description();
    const auto& names = description.properties.at(static_cast<std::size_t>(description.indexOf("SIMType"))).values;
    if (!options.category.empty())
    {
        bool known = false;
        for (const auto& c : g_deviceCategories)
            known = known || contains(c.heading, options.category);
        if (!known)
        {
            std::string headings;
            for (const auto& c : g_deviceCategories)
                headings += (headings.empty() ? "\"" : ", \"") + std::string(c.heading) + "\"";
            throw UsageError("no category " + quoted(options.category, kQuotedExcerptBytes) + " (categories: " +
                             headings + ")");
        }
    }
    std::vector<ListedModel> listed;
    for (std::size_t m = 0; m < kSimModelCount; ++m)
    {
        ListedModel model{m, m < names.size() ? names[m] : std::string(), categoryOf(static_cast<int>(m)),
                          deviceTags(static_cast<int>(m)), describeSimResponse(static_cast<int>(m))};
        if (!options.category.empty() && !contains(model.category, options.category))
            continue;
        std::string tagText;
        for (const auto& t : model.tags)
            tagText += (tagText.empty() ? "" : ", ") + t;
        if (!deviceMatches({model.name, model.category, tagText, model.response.description}, options.words))
            continue;
        listed.push_back(std::move(model));
    }
    return listed;
}

nlohmann::ordered_json modelJson(const ListedModel& listed)
{
    const SimModelData& model = g_simModels[listed.index];
    const SimResponse& response = listed.response;
    nlohmann::ordered_json sections = nlohmann::ordered_json::array();
    for (const SimSection& s : model.sections)
        sections.push_back({{"kind", simKindName(s.kind)},
                            {"frequencyHz", s.frequency},
                            {"arguments", argumentsOf(s)},
                            {"tuned", s.tuning == Tuning::Tuned}});
    return {{"index", listed.index},
            {"name", listed.name},
            {"category", listed.category},
            {"tags", listed.tags},
            {"description", response.description},
            {"response",
             {{"lowHz", std::round(response.lowHz)},
              {"highHz", std::round(response.highHz)},
              {"peakHz", std::round(response.peakHz)},
              {"peakDb", std::round(response.peakDb * 10.0) / 10.0}}},
            {"levelDb", levelDbOf(model)},
            {"sections", sections}};
}

// A word as a shell takes it back: in double quotes unless it is letters, digits, '-' and '_'.
std::string shellWord(const std::string& word)
{
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](unsigned char c) {
        return std::isalnum(c) != 0 || c == '-' || c == '_';
    });
    return plain ? word : quoted(word, kQuotedExcerptBytes);
}

// Words that find spaces ("station", "reverb", "hall") are looked for where a line is heard,
// not in what it is played through: the spaces they find, and the command that lists them.
void pointAtSpaces(const std::vector<std::string>& words)
{
    const auto found = spacesMatching(words);
    if (words.empty() || found.empty())
        return;
    std::string names, command = "crumlet spaces";
    for (const auto* room : found)
        names += (names.empty() ? "" : ", ") + std::string(room->name);
    for (const auto& word : words)
        command += " " + shellWord(word);
    // After the listing, also when both streams go to one pipe.
    std::fflush(stdout);
    std::fprintf(stderr, "spaces: %s (%s)\n", names.c_str(), command.c_str());
}

int sims(const SimsOptions& options)
{
    if (options.json)
    {
        std::printf("%s\n", deviceModelsJson(options).dump(2).c_str());
        return 0;
    }
    const std::vector<ListedModel> listed = listedModels(options);
    for (const ListedModel& model : listed)
    {
        std::printf("%3zu  %-30s %-22s %s\n", model.index, model.name.c_str(), model.category.c_str(),
                    model.response.description.c_str());
        if (options.sections)
        {
            std::printf("       level %.1f dB\n", levelDbOf(g_simModels[model.index]));
            for (int k = 0; k < kSimSectionCount; ++k)
                std::printf("       %d  %s\n", k, describe(g_simModels[model.index].sections[k]).c_str());
        }
    }
    if (listed.empty())
    {
        std::fprintf(stderr, "crumlet sims: no device matches\n");
        pointAtSpaces(options.words);
        return 1;
    }
    if (options.sections)
        std::printf("\nT x: the frequency follows SIMTuning (50 to 200 %%); see crumlet sims --help.\n");
    pointAtSpaces(options.words);
    return 0;
}
} // namespace

nlohmann::ordered_json deviceModelsJson(const SimsOptions& options)
{
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (const ListedModel& model : listedModels(options))
        json.push_back(modelJson(model));
    return json;
}

int runSims(const SimsOptions& options)
{
    return reportingErrors("sims", [&] { return sims(options); });
}
