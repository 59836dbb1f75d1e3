#include "cli/settings/Presets.h"

#include "cli/io/OutputFiles.h"
#include "cli/io/QuotedText.h"
#include "cli/settings/SettingsFileReader.h"
#include "cli/settings/NameSuggestions.h"
#include "cli/settings/UsageError.h"
#include "space/SpaceError.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

using nlohmann::ordered_json;
namespace fs = std::filesystem;

namespace
{
std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// "line L, column C" of a byte offset in text.
std::string positionOf(const std::string& text, std::size_t offset)
{
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i)
    {
        if (text[i] == '\n')
            ++line, column = 1;
        else
            ++column;
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// A JSON value as `--set` takes it: numbers and texts read alike (see ParameterSettings::set).
std::string valueText(const ordered_json& v, const std::string& where)
{
    if (v.is_string())
        return v.get<std::string>();
    if (v.is_boolean())
        return v.get<bool>() ? "on" : "off";
    if (v.is_number())
        return v.dump();
    throw UsageError(where + ": values are numbers, texts or true/false, not " +
                     (v.is_null() ? "null" : v.is_array() ? "an array" : "an object"));
}

constexpr const char* kDescriptionKey = "description";
constexpr const char* kTransmissionKey = "transmission";
} // namespace

transmission::TransmissionSettings readTransmission(const ordered_json& object, const std::string& where)
{
    if (!object.is_object())
        throw UsageError(where + ": \"transmission\" is an object of \"codec\", \"loss\", \"radio\" and \"space\"");
    transmission::TransmissionSettings settings;
    for (const auto& [key, value] : object.items())
    {
        if (key == "space")
            continue; // readSpace's
        const std::string at = where + ": \"transmission\": " + quoted(key, kQuotedExcerptBytes);
        if (!value.is_string() && !(key == "radio" && value.is_boolean()))
            throw UsageError(at + " is a text" + (key == "radio" ? " or true/false" : ""));
        const std::string text = value.is_boolean() ? (value.get<bool>() ? "on" : "off") : value.get<std::string>();
        try
        {
            if (key == "codec")
                settings.codec = transmission::parseCodec(text);
            else if (key == "loss")
                settings.loss = transmission::parseLoss(text);
            else if (key == "radio")
                settings.radio = transmission::parseRadio(text);
            else
                throw UsageError(at + " is not a transmission setting (codec, loss, radio, space)");
        }
        catch (const transmission::SettingsError& e)
        {
            throw UsageError(at + ": " + e.what());
        }
    }
    if (settings.loss.active() && settings.codec.kind == transmission::CodecKind::None)
        throw UsageError(where + ": \"transmission\": a \"loss\" needs a \"codec\" (the frames lost are the codec's)");
    return settings;
}

space::SpaceSettings readSpace(const ordered_json& object, const std::string& where)
{
    if (!object.is_object() || !object.contains("space"))
        return {};
    const ordered_json& value = object.at("space");
    const std::string at = where + ": \"transmission\": \"space\"";
    if (!value.is_string())
        throw UsageError(at + " is a text");
    try
    {
        return space::parseSpace(value.get<std::string>());
    }
    catch (const space::SpaceError& e)
    {
        throw UsageError(at + ": " + e.what());
    }
}

namespace
{
FactoryPreset readObject(const ordered_json& object, const std::string& name, const std::string& origin)
{
    if (!object.is_object())
        throw UsageError(origin + ": a preset is a JSON object of property name to value");
    FactoryPreset preset{name, {}, {}, {}, {}};
    for (const auto& [key, value] : object.items())
    {
        if (key == kTransmissionKey)
        {
            preset.transmission = readTransmission(value, origin);
            preset.space = readSpace(value, origin);
            continue;
        }
        if (key == kDescriptionKey)
        {
            if (!value.is_string())
                throw UsageError(origin + ": \"description\" is a text");
            preset.description = value.get<std::string>();
            continue;
        }
        preset.values.push_back({key, valueText(value, origin + ": " + quoted(key, kQuotedExcerptBytes))});
    }
    return preset;
}

// The JSON library's reason without its prefix ("[json.exception.parse_error.101] parse error
// at line 1, column 3: "), and what it quotes of the text ("last read: '...'", "parsing
// '...'") cut to an excerpt.
std::string parseReason(const std::string& what)
{
    std::string reason = what;
    const auto column = reason.find("column ");
    const auto start = column != std::string::npos ? reason.find(": ", column) : reason.find("] ");
    if (start != std::string::npos)
        reason = reason.substr(start + 2);
    for (const std::string marker : {"last read: '", "parsing '"})
    {
        const auto at = reason.find(marker);
        if (at == std::string::npos)
            continue;
        std::string token = reason.substr(at + marker.size());
        if (!token.empty() && token.back() == '\'')
            token.pop_back();
        return reason.substr(0, at) + marker.substr(0, marker.size() - 1) + quoted(token, kQuotedExcerptBytes);
    }
    return reason;
}
} // namespace

ordered_json parseSettingsJson(const std::string& text, const std::string& origin,
                               const ordered_json::parser_callback_t& check)
{
    try
    {
        return ordered_json::parse(text, check);
    }
    catch (const ordered_json::parse_error& e)
    {
        throw UsageError(origin + ": not valid JSON at " + positionOf(text, e.byte > 0 ? e.byte - 1 : 0) + ": " +
                         parseReason(e.what()));
    }
    catch (const ordered_json::out_of_range& e)
    {
        // A number too large for a double: "number overflow parsing '1e999'".
        throw UsageError(origin + ": not valid JSON: " + parseReason(e.what()));
    }
}

namespace
{
// A preset file: one object of plain values, each property once in whatever case. Text after
// a NUL byte would go unread, so a NUL is refused; a nested value is refused as it opens,
// before anything deeper is built (a value thousands of levels deep overflowed the stack where
// it was printed).
ordered_json parsePresetFile(const std::string& text, const std::string& origin)
{
    const auto nul = text.find('\0');
    if (nul != std::string::npos)
        throw UsageError(origin + ": a NUL byte at " + positionOf(text, nul) + "; a preset file is text");
    using Event = ordered_json::parse_event_t;
    bool object = false;
    std::string key;
    std::map<std::string, std::string> keys; // in lower case, as first given
    return parseSettingsJson(text, origin, [&](int depth, Event event, ordered_json& parsed) {
        const bool opens = event == Event::object_start || event == Event::array_start;
        if (opens && depth == 0)
            object = event == Event::object_start;
        else if (opens && depth == 1 && object && key == kTransmissionKey && event == Event::object_start)
            return true; // the transmission's settings, one level down (its values are checked as read)
        else if (opens && !object)
            throw UsageError(origin + ": a preset is a JSON object of property name to value");
        else if (opens)
            throw UsageError(origin + ": " + quoted(key, kQuotedExcerptBytes) +
                             ": values are numbers, texts or true/false, not " +
                             (event == Event::array_start ? "an array" : "an object"));
        if (event == Event::key && depth == 2)
            return true;
        if (event == Event::key && depth == 1)
        {
            key = parsed.get<std::string>();
            const auto [first, fresh] = keys.emplace(lower(key), key);
            if (!fresh)
                throw UsageError(origin + ": " + quoted(key, kQuotedExcerptBytes) + " is given twice" +
                                 (first->second == key ? std::string()
                                                       : " (as " + quoted(first->second, kQuotedExcerptBytes) + " before)"));
        }
        return true;
    });
}

std::vector<ParameterSettings::Value> readValues(const ParameterSettings& settings,
                                                 const std::vector<PresetValue>& values, const std::string& origin)
{
    std::vector<ParameterSettings::Value> read;
    for (const auto& value : values)
    {
        try
        {
            read.push_back(settings.read(value.property, value.text));
        }
        catch (const UsageError& e)
        {
            throw UsageError(origin + ": " + e.what());
        }
    }
    return read;
}

std::string factoryNames()
{
    std::string names;
    for (const auto& preset : factoryPresets())
        names += (names.empty() ? "\"" : ", \"") + preset.name + "\"";
    return names;
}
} // namespace

const std::vector<FactoryPreset>& factoryPresets()
{
    static const std::vector<FactoryPreset> presets = [] {
        std::vector<FactoryPreset> out;
        const ordered_json all = parseSettingsJson(kFactoryPresetsJson, "factory presets");
        for (const auto& [name, object] : all.items())
            out.push_back(readObject(object, name, "factory preset \"" + name + "\""));
        return out;
    }();
    return presets;
}

std::string presetNameHint(const std::string& typed)
{
    std::vector<std::string> names;
    for (const auto& preset : factoryPresets())
        names.push_back(preset.name);
    const std::string suggestion = nameSuggestion(names, typed);
    return suggestion.empty() ? " (presets: " + factoryNames() + ")" : "; " + suggestion;
}

const FactoryPreset* findFactoryPreset(const std::string& name)
{
    for (const auto& preset : factoryPresets())
        if (lower(preset.name) == lower(name))
            return &preset;
    return nullptr;
}

namespace
{
// The preset's object, a shipped one's or read from its file (see applyPreset).
FactoryPreset readPreset(const std::string& nameOrPath)
{
    std::error_code ec;
    if (const FactoryPreset* preset = findFactoryPreset(nameOrPath))
    {
        // A shipped preset's name never holds a slash, so "./NAME" always names the file.
        if (fs::exists(nameOrPath, ec))
            throw UsageError("\"" + nameOrPath + "\" names both the shipped preset \"" + preset->name +
                             "\" and a file here: give the file as \"./" + nameOrPath + "\"");
        return *preset;
    }
    if (!fs::exists(nameOrPath, ec))
        throw UsageError("no preset named " + quoted(nameOrPath, kQuotedExcerptBytes) + " and no file of that name" +
                         presetNameHint(nameOrPath));
    const SettingsFileBytes text = readSettingsFile(nameOrPath, kMostPresetFileBytes, "a preset file");
    if (text.longer)
        throw UsageError("\"" + nameOrPath + "\" is not a preset file: it holds more than " +
                         std::to_string(kMostPresetFileBytes) + " bytes");
    return readObject(parsePresetFile(text.bytes, nameOrPath), nameOrPath, nameOrPath);
}
} // namespace

PresetSettings readPresetSettings(const ParameterSettings& settings, const std::string& nameOrPath)
{
    const FactoryPreset preset = readPreset(nameOrPath);
    const bool shipped = findFactoryPreset(nameOrPath) != nullptr;
    return {readValues(settings, preset.values, shipped ? "preset \"" + preset.name + "\"" : nameOrPath),
            preset.transmission, preset.space};
}

void applyPreset(ParameterSettings& settings, const std::string& nameOrPath,
                 transmission::TransmissionSettings* transmission, space::SpaceSettings* space)
{
    const PresetSettings preset = readPresetSettings(settings, nameOrPath);
    if (transmission != nullptr)
        *transmission = preset.transmission;
    if (space != nullptr)
        *space = preset.space;
    for (const ParameterSettings::Value& v : preset.values)
        settings.apply(v);
}

ordered_json transmissionJson(const transmission::TransmissionSettings& settings, const space::SpaceSettings& space)
{
    ordered_json object = ordered_json::object();
    if (settings.codec.kind != transmission::CodecKind::None)
        object["codec"] = transmission::codecText(settings.codec);
    if (settings.loss.active())
        object["loss"] = transmission::lossText(settings.loss);
    if (settings.radio.enabled)
        object["radio"] = transmission::radioText(settings.radio);
    if (space.active())
        object["space"] = space::spaceText(space);
    return object;
}

ordered_json presetJson(const ParameterSettings& settings, const std::string& description,
                        const transmission::TransmissionSettings& transmission, const space::SpaceSettings& space)
{
    ordered_json object = ordered_json::object();
    if (!description.empty())
        object[kDescriptionKey] = description;
    const auto& properties = settings.description().properties;
    for (std::size_t i = 0; i < properties.size(); ++i)
    {
        const std::string text = settings.valueText(i);
        switch (properties[i].type)
        {
        case quarl::PropertyType::Float: object[properties[i].name] = std::stod(text); break;
        case quarl::PropertyType::Bool: object[properties[i].name] = text == "on"; break;
        case quarl::PropertyType::Int: object[properties[i].name] = text; break;
        }
    }
    if (transmission.active() || space.active())
        object[kTransmissionKey] = transmissionJson(transmission, space);
    return object;
}

void savePreset(const ParameterSettings& settings, const std::string& path, bool replace,
                const std::string& description, const transmission::TransmissionSettings& transmission,
                const space::SpaceSettings& space)
{
    writeFileAtomically(path, presetJson(settings, description, transmission, space).dump(2) + "\n", replace);
}
