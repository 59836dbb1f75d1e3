#include "cli/render/RenderProvenance.h"

#include "cli/ToolVersion.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>

using nlohmann::ordered_json;

namespace
{
std::string hex(const std::vector<std::uint8_t>& bytes)
{
    static const char* const digits = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes)
    {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 15]);
    }
    return text;
}

std::vector<std::uint8_t> unhex(const std::string& text)
{
    auto digit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        throw UsageError("a settings chunk whose block is not hexadecimal");
    };
    if (text.size() % 2 != 0)
        throw UsageError("a settings chunk whose block is cut short");
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
    return bytes;
}

std::string joined(const std::vector<std::string>& items, const char* separator)
{
    std::string text;
    for (const auto& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

std::vector<std::string> variedTexts(const std::vector<VariedValue>& varied)
{
    std::vector<std::string> texts;
    for (const VariedValue& v : varied)
    {
        char offset[32];
        std::snprintf(offset, sizeof offset, "%+.6g", v.offset);
        texts.push_back(v.property + "=" + v.text + " (" + offset + ")");
    }
    return texts;
}

ordered_json recipeObject(const RenderRecipe& recipe, const ParameterSettings& settings)
{
    ordered_json varied = ordered_json::object();
    for (const VariedValue& v : recipe.varied)
        varied[v.property] = {{"value", v.value}, {"offset", v.offset}, {"text", v.text}};
    return ordered_json{
        {"tool", kToolName},
        {"version", kToolVersion},
        {"preset", recipe.preset.empty() ? ordered_json() : ordered_json(recipe.preset)},
        {"input", recipe.input.empty() ? ordered_json() : ordered_json(recipe.input)},
        {"seed", std::to_string(recipe.seed)},
        {"rate", recipe.delivery.sampleRate == 0 ? ordered_json() : ordered_json(recipe.delivery.sampleRate)},
        {"channels", recipe.delivery.channels == 0 ? ordered_json() : ordered_json(recipe.delivery.channels)},
        {"format", recipe.sampleFormat.empty() ? ordered_json() : ordered_json(recipe.sampleFormat)},
        {"dither", recipe.delivery.dither ? "tpdf" : "none"},
        {"loudness", recipe.loudness ? ordered_json(*recipe.loudness) : ordered_json()},
        {"matchLoudness", recipe.matchLoudness},
        {"variation", varied},
        {"transmission", transmissionJson(recipe.transmission.value_or(transmission::TransmissionSettings{}))},
        {"block", hex(recipe.block)},
        {"settings", presetJson(settings)}};
}
} // namespace

std::vector<std::string> changedSettings(const ParameterSettings& settings)
{
    std::vector<std::string> changed;
    const auto& properties = settings.description().properties;
    for (std::size_t i = 0; i < properties.size(); ++i)
        if (static_cast<float>(settings.value(properties[i].name)) != static_cast<float>(properties[i].defaultValue))
            changed.push_back(properties[i].name + "=" + settings.valueText(i));
    return changed;
}

std::string recipeJson(const RenderRecipe& recipe, const ParameterSettings& settings)
{
    // A name that is not UTF-8 has its stray bytes replaced (U+FFFD): JSON holds Unicode.
    return recipeObject(recipe, settings).dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

LoudnessTarget RenderRecipe::loudnessTarget() const
{
    if (loudness)
        return {LoudnessTarget::Mode::Fixed, *loudness};
    if (matchLoudness)
        return {LoudnessTarget::Mode::MatchInput, 0.0};
    return {};
}

OutputMetadata describeRender(const RenderRecipe& recipe, const ParameterSettings& settings)
{
    OutputMetadata m;
    const std::string tool = std::string(kToolName) + " " + kToolVersion;
    const std::vector<std::string> changed = changedSettings(settings);
    const std::vector<std::string> varied = variedTexts(recipe.varied);
    m.description = tool + ": " + (recipe.preset.empty() ? std::string("own settings") : "preset " + recipe.preset) +
                    (varied.empty() ? "" : "; varied " + joined(varied, ", "));
    m.originator = kToolName;
    m.originatorReference = "seed " + std::to_string(recipe.seed);
    // The coding-history line (EBU R98) goes on with the format when the file is written.
    m.codingHistory = "T=" + tool + (recipe.preset.empty() ? "" : "; preset=" + recipe.preset) + "; settings " +
                      (changed.empty() ? std::string("all default") : joined(changed, " ")) +
                      (varied.empty() ? "" : "; varied " + joined(varied, " ")) +
                      (recipe.transmission && recipe.transmission->active()
                           ? "; then " + transmission::summaryText(*recipe.transmission)
                           : std::string()) +
                      "; seed " +
                      std::to_string(recipe.seed) + "\r\n";
    m.settingsJson = recipeJson(recipe, settings);
    return m;
}

RenderRecipe readRecipe(const std::string& path)
{
    const OutputMetadata m = readMetadata(path);
    if (m.settingsJson.empty())
        throw UsageError("\"" + path + "\" carries no settings of " + kToolName +
                         (m.description.empty() ? std::string(" (no bext chunk either)")
                                                : " (its bext description: \"" + m.description + "\")") +
                         "; crumlet writes them into 16- and 24-bit WAV files");
    RenderRecipe r;
    try
    {
        const ordered_json j = ordered_json::parse(m.settingsJson);
        r.tool = j.at("tool").get<std::string>() + " " + j.at("version").get<std::string>();
        if (!j.at("preset").is_null())
            r.preset = j.at("preset").get<std::string>();
        if (!j.at("input").is_null())
            r.input = j.at("input").get<std::string>();
        r.seed = std::stoull(j.at("seed").get<std::string>());
        if (!j.at("rate").is_null())
            r.delivery.sampleRate = j.at("rate").get<std::uint32_t>();
        if (!j.at("channels").is_null())
            r.delivery.channels = j.at("channels").get<std::uint32_t>();
        if (!j.at("format").is_null())
            r.sampleFormat = j.at("format").get<std::string>();
        r.format = r.sampleFormat.empty() ? SampleFormat::Automatic : parseSampleFormat(r.sampleFormat);
        r.delivery.dither = j.at("dither").get<std::string>() != "none";
        if (!j.at("loudness").is_null())
            r.loudness = j.at("loudness").get<double>();
        r.matchLoudness = j.at("matchLoudness").get<bool>();
        for (const auto& [name, v] : j.at("variation").items())
            r.varied.push_back({name, v.at("value").get<double>(), v.at("offset").get<double>(),
                                v.at("text").get<std::string>()});
        if (j.contains("transmission"))
            r.transmission = readTransmission(j.at("transmission"), "\"" + path + "\": its settings chunk");
        r.block = unhex(j.at("block").get<std::string>());
    }
    catch (const nlohmann::json::exception& e)
    {
        throw UsageError("\"" + path + "\": its settings chunk cannot be read: " + e.what());
    }
    catch (const std::logic_error&)
    {
        throw UsageError("\"" + path + "\": its settings chunk holds a seed that is not a number");
    }
    return r;
}
