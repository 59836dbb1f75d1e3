#include "cli/commands/InfoCommand.h"

#include "cli/io/AudioFiles.h"
#include "cli/io/BextChunk.h"
#include "cli/io/DamagedInput.h"
#include "cli/io/QuotedText.h"
#include "cli/metering/LevelMeter.h"
#include "cli/render/EffectHost.h"
#include "cli/render/RenderProvenance.h"
#include "cli/render/RenderReport.h"
#include "cli/settings/UsageError.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

using nlohmann::ordered_json;

namespace
{
std::string formatName(int format, int mask, int command)
{
    SF_FORMAT_INFO info{};
    info.format = format & mask;
    return sf_command(nullptr, command, &info, sizeof info) == 0 && info.name != nullptr ? info.name : "unknown";
}

// The file read to its end: its levels (at the rates and channels the tool measures) and the
// frames it really holds, which a damaged file's header overstates.
struct Measured
{
    std::optional<Levels> levels;
    std::uint64_t frames = 0;
};

Measured measure(SndfileHandle& file)
{
    Measured measured;
    const auto channels = static_cast<std::uint32_t>(std::max(file.channels(), 1));
    std::unique_ptr<LevelMeter> meter;
    try
    {
        meter = std::make_unique<LevelMeter>(channels, static_cast<std::uint32_t>(file.samplerate()),
                                             LevelMeter::Measure::Everything);
    }
    catch (const std::invalid_argument&)
    {
    }
    constexpr sf_count_t kFrames = 4096;
    std::vector<float> buffer(static_cast<std::size_t>(kFrames) * channels);
    for (sf_count_t n; (n = file.readf(buffer.data(), kFrames)) > 0;)
    {
        if (meter)
            meter->add(buffer.data(), static_cast<std::uint32_t>(n));
        measured.frames += static_cast<std::uint64_t>(n);
    }
    if (meter)
        measured.levels = meter->levels();
    return measured;
}

// "2026-12-07 17:43:15 UTC" for nanoseconds since 1970.
std::string utcTime(std::int64_t ns)
{
    const auto seconds = static_cast<std::time_t>(ns / 1000000000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

// "-23.0 LUFS", "as loud as its input", "the effect's own level"
std::string targetText(const LoudnessTarget& target)
{
    switch (target.mode)
    {
    case LoudnessTarget::Mode::Fixed: return formatDb(target.lufs) + " LUFS";
    case LoudnessTarget::Mode::MatchInput: return "as loud as its input";
    case LoudnessTarget::Mode::None: break;
    }
    return "the effect's own level";
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
    // What the render would refuse the file for, else fewer frames than its header gives
    // (compressed files, whose count is an estimate, are not held to it).
    std::string damage = damageOf(file.rawHandle());
    const Measured measured = measure(file);
    const int sub = file.format() & SF_FORMAT_SUBMASK;
    const bool counted = sub != SF_FORMAT_VORBIS && sub != SF_FORMAT_OPUS && sub != SF_FORMAT_MPEG_LAYER_III;
    const auto claimed = static_cast<std::uint64_t>(std::max<sf_count_t>(file.frames(), 0));
    if (damage.empty() && counted && measured.frames < claimed)
    {
        char text[128];
        std::snprintf(text, sizeof text, "it holds %.3f s of the %.3f s its header gives",
                      static_cast<double>(measured.frames) / file.samplerate(),
                      static_cast<double>(claimed) / file.samplerate());
        damage = text;
    }
    const bool damaged = !damage.empty();
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
                       {"frames", measured.frames},
                       {"damaged", damaged}};
        if (damaged)
            j["damage"] = damage;
        if (measured.levels)
            j["levels"] = {{"loudnessLufs", std::isfinite(measured.levels->loudnessLufs)
                                                ? ordered_json(measured.levels->loudnessLufs)
                                                : ordered_json()},
                           {"truePeakDbtp", std::isfinite(measured.levels->truePeakDbtp)
                                                ? ordered_json(measured.levels->truePeakDbtp)
                                                : ordered_json()}};
        if (recipe)
        {
            const LoudnessTarget target = recipe->loudnessTarget();
            j["loudnessTarget"] = target.mode == LoudnessTarget::Mode::Fixed ? ordered_json(target.lufs)
                                  : target.mode == LoudnessTarget::Mode::MatchInput ? ordered_json("input")
                                                                                     : ordered_json();
        }
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
                static_cast<double>(measured.frames) / file.samplerate());
    if (damaged)
        std::printf("damaged: %s\n", printable(damage).c_str());
    if (measured.levels)
        std::printf("levels: %s LUFS, true peak %s dBTP\n", formatDb(measured.levels->loudnessLufs).c_str(),
                    formatDb(measured.levels->truePeakDbtp).c_str());
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
        if (const auto& source = recipe->source)
            std::printf("  source: \"%s\"%s, %llu bytes, modified %s, xxh3 %s\n", printable(source->path).c_str(),
                        source->list.empty() ? ""
                                             : (" (row " + std::to_string(source->row) + " of \"" +
                                                printable(source->list) + "\")")
                                                   .c_str(),
                        static_cast<unsigned long long>(source->stamp.bytes), utcTime(source->stamp.modifiedNs).c_str(),
                        source->hash.empty() ? "not recorded" : source->hash.c_str());
        std::string changed;
        for (const auto& c : changedSettings(*settings))
            changed += " " + c;
        std::printf("  settings that differ from the defaults:%s\n", changed.empty() ? " none" : changed.c_str());
        std::printf("  loudness: %s\n", targetText(recipe->loudnessTarget()).c_str());
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
