#include "cli/render/RenderProvenance.h"

#include "cli/ToolVersion.h"
#include "cli/io/QuotedText.h"
#include "cli/render/DeliveryOptions.h"
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
        throw UsageError("is not hexadecimal");
    };
    if (text.size() % 2 != 0)
        throw UsageError("is cut short (an odd number of digits)");
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

ordered_json sourceObject(const std::optional<SourceRecord>& source)
{
    if (!source)
        return ordered_json();
    return ordered_json{{"path", source->path},
                        {"list", source->list.empty() ? ordered_json() : ordered_json(source->list)},
                        {"row", source->row == 0 ? ordered_json() : ordered_json(source->row)},
                        {"bytes", source->stamp.bytes},
                        {"modifiedNs", source->stamp.modifiedNs},
                        {"xxh3", source->hash.empty() ? ordered_json() : ordered_json(source->hash)}};
}

ordered_json recipeObject(const RenderRecipe& recipe, const ParameterSettings& settings)
{
    ordered_json j{{"tool", kToolName},
                   {"version", kToolVersion},
                   {"preset", recipe.preset.empty() ? ordered_json() : ordered_json(recipe.preset)},
                   {"input", recipe.input.empty() ? ordered_json() : ordered_json(recipe.input)},
                   {"source", sourceObject(recipe.source)}};
    const ordered_json sound = soundRecipe(recipe);
    for (const auto& [key, value] : sound.items())
        j[key] = value;
    j["settings"] = presetJson(settings);
    return j;
}
} // namespace

ordered_json soundRecipe(const RenderRecipe& recipe)
{
    ordered_json varied = ordered_json::object();
    for (const VariedValue& v : recipe.varied)
        varied[v.property] = {{"value", v.value}, {"offset", v.offset}, {"text", v.text}};
    return ordered_json{
        {"seed", std::to_string(recipe.seed)},
        {"rate", recipe.delivery.sampleRate == 0 ? ordered_json() : ordered_json(recipe.delivery.sampleRate)},
        {"channels", recipe.delivery.channels == 0 ? ordered_json() : ordered_json(recipe.delivery.channels)},
        {"format", recipe.sampleFormat.empty() ? ordered_json() : ordered_json(recipe.sampleFormat)},
        {"dither", recipe.delivery.dither ? "tpdf" : "none"},
        {"loudness", recipe.loudness ? ordered_json(*recipe.loudness) : ordered_json()},
        {"matchLoudness", recipe.matchLoudness},
        {"variation", varied},
        {"transmission",
         transmissionJson(recipe.transmission.value_or(transmission::TransmissionSettings{}), recipe.space)},
        {"block", hex(recipe.block)}};
}

ordered_json recordedRecipe(const std::string& path)
{
    try
    {
        const OutputMetadata metadata = readSettings(path);
        if (metadata.settingsJson.empty())
            return nullptr;
        ordered_json j = ordered_json::parse(metadata.settingsJson, nullptr, false);
        const auto tool = j.is_object() ? j.find("tool") : j.end();
        if (tool == j.end() || !tool->is_string() || *tool != kToolName)
            return nullptr;
        return j;
    }
    catch (const IoError&)
    {
        return nullptr; // not audio, or unreadable
    }
}

bool sameSourceBytes(const SourceRecord& recorded, const std::string& input)
{
    const std::optional<FileStamp> now = fileStamp(input);
    if (!now || now->bytes != recorded.stamp.bytes)
        return false;
    if (now->modifiedNs == recorded.stamp.modifiedNs)
        return true;
    return !recorded.hash.empty() && contentHash(input) == recorded.hash;
}

std::string sourceMismatch(const SourceRecord& recorded, const std::string& input)
{
    const std::string name = std::filesystem::path(input).filename().string();
    const std::string recordedName = std::filesystem::path(recorded.path).filename().string();
    std::vector<std::string> differences;
    if (name != recordedName)
        differences.push_back("its name is " + quoted(name, kQuotedExcerptBytes) + ", not " +
                              quoted(recordedName, kQuotedExcerptBytes));
    if (!sameSourceBytes(recorded, input))
        differences.push_back("its bytes differ");
    return joined(differences, " and ");
}

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
                      (recipe.space.active() ? "; in " + space::spaceText(recipe.space) : std::string()) +
                      "; seed " +
                      std::to_string(recipe.seed) + "\r\n";
    m.settingsJson = recipeJson(recipe, settings);
    if (const std::string unwritable = metadataUnwritable(m); !unwritable.empty())
        throw UsageError("the recipe cannot be written into a WAV file: " + unwritable);
    return m;
}

namespace
{
// The deepest a recipe nests: its variation's object of each value drawn.
constexpr int kDeepestRecipeObject = 2;

const char* typeName(const ordered_json& v)
{
    return v.is_string() ? "a text" : v.is_number() ? "a number" : v.is_boolean() ? "true or false"
           : v.is_null() ? "null" : v.is_array() ? "an array" : "an object";
}

const ordered_json& member(const ordered_json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end())
        throw UsageError(std::string("\"") + key + "\" is missing");
    return *found;
}

std::string text(const ordered_json& v)
{
    if (!v.is_string())
        throw UsageError(std::string("is a text, not ") + typeName(v));
    const std::string& t = v.get_ref<const std::string&>();
    if (t.size() > kMostRecipeTextBytes)
        throw UsageError("holds at most " + std::to_string(kMostRecipeTextBytes) + " bytes (the longest path), not " +
                         quoted(t, kQuotedExcerptBytes));
    if (t.find('\0') != std::string::npos)
        throw UsageError("a NUL in " + quoted(t, kQuotedExcerptBytes));
    return t;
}

std::string textOrNothing(const ordered_json& v)
{
    return v.is_null() ? std::string() : text(v);
}

double number(const ordered_json& v)
{
    if (!v.is_number())
        throw UsageError(std::string("is a number, not ") + typeName(v));
    return v.get<double>();
}

// A number as the command line would have been given it.
std::string numberText(const ordered_json& v)
{
    number(v);
    return v.dump();
}

bool truth(const ordered_json& v)
{
    if (!v.is_boolean())
        throw UsageError(std::string("is true or false, not ") + typeName(v));
    return v.get<bool>();
}

// The recipe's fields, each read by a function that throws UsageError saying what it takes;
// the error names the file and the field.
class RecipeFields
{
public:
    RecipeFields(const ordered_json& recipe, std::string where) : m_recipe(recipe), m_where(std::move(where)) {}

    template <typename Read>
    auto operator()(const char* key, Read read) const
    {
        try
        {
            return read(member(m_recipe, key));
        }
        catch (const UsageError& e)
        {
            throw UsageError(m_where + ": \"" + key + "\": " + e.what());
        }
    }

private:
    const ordered_json& m_recipe;
    std::string m_where;
};

std::vector<VariedValue> variedValues(const ordered_json& v, const ParameterSettings& settings)
{
    if (!v.is_object())
        throw UsageError(std::string("is an object of each property varied to its draw, not ") + typeName(v));
    std::vector<VariedValue> varied;
    for (const auto& [name, drawn] : v.items())
    {
        try
        {
            if (!drawn.is_object())
                throw UsageError(std::string("is an object of \"value\", \"offset\" and \"text\", not ") +
                                 typeName(drawn));
            VariedValue value{name, number(member(drawn, "value")),
                              number(member(drawn, "offset")), text(member(drawn, "text"))};
            settings.read(name, value.text); // a property, and a value it takes, as --set reads them
            varied.push_back(std::move(value));
        }
        catch (const UsageError& e)
        {
            throw UsageError(quoted(name, kQuotedExcerptBytes) + ": " + e.what());
        }
    }
    return varied;
}

std::uint64_t wholeNumber(const ordered_json& v)
{
    if (!v.is_number_unsigned())
        throw UsageError(std::string("is a whole number, not ") + typeName(v));
    return v.get<std::uint64_t>();
}

std::optional<SourceRecord> sourceRecord(const ordered_json& v)
{
    if (v.is_null())
        return std::nullopt;
    if (!v.is_object())
        throw UsageError(std::string("is an object of the source's path, list, row, size, time and hash, not ") +
                         typeName(v));
    SourceRecord s;
    s.path = text(member(v, "path"));
    s.list = textOrNothing(member(v, "list"));
    const ordered_json& row = member(v, "row");
    s.row = row.is_null() ? 0 : static_cast<std::size_t>(wholeNumber(row));
    s.stamp.bytes = wholeNumber(member(v, "bytes"));
    const ordered_json& modified = member(v, "modifiedNs");
    if (!modified.is_number_integer())
        throw UsageError(std::string("\"modifiedNs\" is a whole number, not ") + typeName(modified));
    s.stamp.modifiedNs = modified.get<std::int64_t>();
    s.hash = textOrNothing(member(v, "xxh3"));
    if (!s.hash.empty() && (s.hash.size() != 32 || s.hash.find_first_not_of("0123456789abcdef") != std::string::npos))
        throw UsageError("\"xxh3\" is 32 hexadecimal digits, not " + quoted(s.hash, kQuotedExcerptBytes));
    return s;
}

RenderRecipe recipeFrom(const ordered_json& j, const std::string& where, const quarl::PluginDescription& description)
{
    const RecipeFields field(j, where);
    RenderRecipe r;
    r.tool = field("tool", text) + " " + field("version", text);
    r.preset = field("preset", textOrNothing);
    r.input = field("input", textOrNothing);
    r.seed = field("seed", [](const ordered_json& v) { return seedOf(text(v)); });
    r.delivery.sampleRate = field("rate", [](const ordered_json& v) {
        return v.is_null() ? 0u : deliveryRate(numberText(v));
    });
    r.delivery.channels = field("channels", [](const ordered_json& v) {
        return v.is_null() ? 0u : deliveryChannels(numberText(v));
    });
    r.sampleFormat = field("format", textOrNothing);
    r.format = field("format", [&](const ordered_json&) { return sampleFormatOf(r.sampleFormat, 0); });
    r.delivery.dither = field("dither", [](const ordered_json& v) { return ditherOf(text(v)); });
    r.loudness = field("loudness", [](const ordered_json& v) {
        return v.is_null() ? std::nullopt : std::optional<double>(checkedLoudness(number(v)));
    });
    r.matchLoudness = field("matchLoudness", [&](const ordered_json& v) {
        checkLoudnessChoice(r.loudness, truth(v));
        return truth(v);
    });
    ParameterSettings settings(description);
    r.block = field("block", [&](const ordered_json& v) {
        std::vector<std::uint8_t> block = unhex(text(v));
        settings.loadBlock(block); // as --bank reads a block
        return block;
    });
    r.varied = field("variation", [&](const ordered_json& v) { return variedValues(v, settings); });
    if (j.contains("source"))
        r.source = field("source", sourceRecord);
    if (j.contains("transmission"))
    {
        r.transmission = readTransmission(j.at("transmission"), where);
        r.space = readSpace(j.at("transmission"), where);
    }
    return r;
}
} // namespace

RenderRecipe readRecipe(const std::string& path, const OutputMetadata& metadata,
                        const quarl::PluginDescription& description)
{
    const std::string file = "\"" + path + "\"";
    if (!metadata.settingsUnread.empty())
        throw UsageError(file + ": " + metadata.settingsUnread);
    if (metadata.settingsJson.empty())
        throw UsageError(file + " carries no settings of " + kToolName +
                         (metadata.description.empty()
                              ? std::string(" (no bext chunk either)")
                              : " (its bext description: " + quoted(metadata.description, kQuotedExcerptBytes) + ")") +
                         "; crumlet writes them into WAV, AIFF, CAF, FLAC and Ogg files");
    const std::string where = file + ": its settings chunk";
    // Refused as it opens: an object or array nested deeper than a recipe's.
    std::string key;
    const ordered_json j = parseSettingsJson(
        metadata.settingsJson, where, [&](int depth, ordered_json::parse_event_t event, ordered_json& parsed) {
            using Event = ordered_json::parse_event_t;
            if (event == Event::key && depth == 1)
                key = parsed.get<std::string>();
            const bool opens = event == Event::object_start || event == Event::array_start;
            if (opens && depth == 0 && event != Event::object_start)
                throw UsageError(where + " is not a JSON object");
            if (opens && depth > kDeepestRecipeObject)
                throw UsageError(where + ": " + quoted(key, kQuotedExcerptBytes) + ": nested deeper than a recipe's values");
            return true;
        });
    return recipeFrom(j, where, description);
}

RenderRecipe readRecipe(const std::string& path, const quarl::PluginDescription& description)
{
    return readRecipe(path, readMetadata(path), description);
}
