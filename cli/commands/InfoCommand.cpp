#include "cli/commands/InfoCommand.h"

#include "cli/io/AudioFiles.h"
#include "cli/io/BextChunk.h"
#include "cli/io/QuotedText.h"
#include "cli/render/EffectHost.h"
#include "cli/render/RenderProvenance.h"
#include "cli/settings/UsageError.h"

#include <nlohmann/json.hpp>

#include <cstdio>

using nlohmann::ordered_json;

namespace
{
std::string formatName(int format, int mask, int command)
{
    SF_FORMAT_INFO info{};
    info.format = format & mask;
    return sf_command(nullptr, command, &info, sizeof info) == 0 && info.name != nullptr ? info.name : "unknown";
}

int info(const InfoOptions& options)
{
    SndfileHandle file = openInput(options.path);
    const std::string container = formatName(file.format(), SF_FORMAT_TYPEMASK, SFC_GET_FORMAT_INFO);
    const std::string samples = formatName(file.format(), SF_FORMAT_SUBMASK, SFC_GET_FORMAT_INFO);
    const OutputMetadata m = readMetadata(options.path);
    std::optional<RenderRecipe> recipe;
    std::string recipeError;
    if (!m.settingsJson.empty() || !m.settingsUnread.empty())
    {
        try
        {
            recipe = readRecipe(options.path, m, EffectHost::instance().description());
        }
        catch (const UsageError& e)
        {
            recipeError = e.what();
        }
    }
    std::optional<ParameterSettings> settings;
    if (recipe)
    {
        settings.emplace(EffectHost::instance().description());
        settings->loadBlock(recipe->block);
    }

    if (options.json)
    {
        ordered_json j{{"file", options.path},
                       {"container", container},
                       {"sampleFormat", samples},
                       {"sampleRate", file.samplerate()},
                       {"channels", file.channels()},
                       {"frames", file.frames()}};
        if (!m.description.empty() || !m.codingHistory.empty())
            j["bext"] = {{"description", m.description},
                         {"originator", m.originator},
                         {"originatorReference", m.originatorReference},
                         {"originationDate", m.originationDate},
                         {"originationTime", m.originationTime},
                         {"codingHistory", m.codingHistory}};
        if (recipe)
            j["crumlet"] = ordered_json::parse(m.settingsJson);
        std::printf("%s\n", j.dump(-1, ' ', false, ordered_json::error_handler_t::replace).c_str());
        return 0;
    }
    std::printf("%s: %s, %s, %d Hz, %d channel%s, %.3f s\n", printable(options.path).c_str(), container.c_str(),
                samples.c_str(), file.samplerate(), file.channels(), file.channels() == 1 ? "" : "s",
                static_cast<double>(file.frames()) / file.samplerate());
    if (!m.description.empty() || !m.codingHistory.empty())
    {
        std::printf("bext: \"%s\", by %s (%s), %s %s\n", printable(m.description).c_str(), printable(m.originator).c_str(),
                    printable(m.originatorReference).c_str(), printable(m.originationDate).c_str(),
                    printable(m.originationTime).c_str());
        std::string history = m.codingHistory;
        for (std::size_t at = 0; at < history.size();)
        {
            const std::size_t end = std::min(history.find('\n', at), history.size());
            std::string line = history.substr(at, end - at);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                std::printf("  coding history: %s\n", printable(line).c_str());
            at = end + 1;
        }
    }
    if (!recipeError.empty())
        std::printf("%s\n", printable(recipeError).c_str());
    if (recipe)
    {
        std::printf("made by %s from %s with %s, seed %llu\n", printable(recipe->tool).c_str(),
                    recipe->input.empty() ? "(demo)" : ("\"" + printable(recipe->input) + "\"").c_str(),
                    recipe->preset.empty() ? "its own settings" : ("preset \"" + printable(recipe->preset) + "\"").c_str(),
                    static_cast<unsigned long long>(recipe->seed));
        std::string changed;
        for (const auto& c : changedSettings(*settings))
            changed += " " + c;
        std::printf("  settings that differ from the defaults:%s\n", changed.empty() ? " none" : changed.c_str());
        for (const VariedValue& v : recipe->varied)
            std::printf("  varied: %s %s (%+.4g)\n", printable(v.property).c_str(), printable(v.text).c_str(), v.offset);
        if (recipe->transmission && recipe->transmission->active())
            std::printf("  then: %s\n", transmission::summaryText(*recipe->transmission).c_str());
        if (recipe->space.active())
            std::printf("  heard in: %s\n", printable(space::spaceText(recipe->space)).c_str());
        std::printf("  render it again: crumlet render --like %s --in SOURCE --out FILE\n", printable(options.path).c_str());
    }
    return 0;
}
} // namespace

int runInfo(const InfoOptions& options)
{
    return reportingErrors("info", [&] { return info(options); });
}
