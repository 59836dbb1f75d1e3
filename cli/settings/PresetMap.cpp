#include "cli/settings/PresetMap.h"

#include "cli/io/CsvRecords.h"
#include "cli/io/QuotedText.h"
#include "cli/io/SpreadsheetText.h"
#include "cli/settings/NameSuggestions.h"
#include "cli/settings/OptionPairs.h"
#include "cli/settings/Presets.h"
#include "cli/settings/SettingsFileReader.h"
#include "cli/settings/UsageError.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace
{
// A map file holds at most this many bytes (a look takes about 40).
constexpr std::size_t kMostPresetMapBytes = 1024 * 1024;

// A value as values are matched: lower case, spaces trimmed and runs of them made one.
std::string matchKey(const std::string& value)
{
    std::string key;
    for (unsigned char c : value)
    {
        if (std::isspace(c))
        {
            if (!key.empty() && key.back() != ' ')
                key.push_back(' ');
        }
        else
            key.push_back(static_cast<char>(std::tolower(c)));
    }
    if (!key.empty() && key.back() == ' ')
        key.pop_back();
    return key;
}

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}
} // namespace

PresetMap::PresetMap(const std::string& option)
{
    std::error_code ec;
    if (!fs::is_regular_file(option, ec) && option.find('=') != std::string::npos)
    {
        for (const auto& [value, preset] : optionPairs(option, "--map-preset", "bad mobile line=Bad mobile line"))
            add(value, preset, {}, "--map-preset");
        if (m_entries.empty())
            throw UsageError("--map-preset maps no value");
        return;
    }
    if (fs::exists(option, ec) && !fs::is_regular_file(option, ec))
        throw UsageError("--map-preset " + quoted(option, kQuotedExcerptBytes) + " is not a file");
    if (!fs::exists(option, ec))
        throw UsageError("--map-preset " + quoted(option, kQuotedExcerptBytes) +
                         " does not exist (a file, or VALUE=PRESET entries separated by commas)");
    const SettingsFileBytes read = readSettingsFile(option, kMostPresetMapBytes, "a preset map");
    if (read.longer)
        throw UsageError("--map-preset " + quoted(option, kQuotedExcerptBytes) + " is larger than a map may be (1 MB)");
    const std::string text = spreadsheetText(read.bytes).text;
    const std::string folder = fs::path(option).parent_path().string();
    const std::string where = "--map-preset " + quoted(option, kQuotedExcerptBytes);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && text[first] == '{')
    {
        nlohmann::json object;
        try
        {
            object = nlohmann::json::parse(text);
        }
        catch (const nlohmann::json::parse_error& e)
        {
            throw UsageError(where + ": not JSON (" + quoted(e.what(), 2 * kQuotedExcerptBytes) + ")");
        }
        for (const auto& [value, preset] : object.items())
        {
            if (!preset.is_string())
                throw UsageError(where + ", " + quoted(value, kQuotedExcerptBytes) + ": a preset's name or file, not " +
                                 preset.type_name());
            add(value, preset.get<std::string>(), folder, where + ", " + quoted(value, kQuotedExcerptBytes));
        }
    }
    else
    {
        bool firstRecord = true;
        csvRecords(text, csvSeparator(text), [&](std::size_t line, const std::vector<std::string>& fields) {
            const std::string at = where + ", row " + std::to_string(line);
            const bool header = firstRecord && fields.size() == 2 && matchKey(fields[1]) == "preset";
            firstRecord = false;
            if (header)
                return;
            if (fields.size() != 2 || fields[0].empty() || fields[1].empty())
                throw UsageError(at + ": a value and its preset, two cells");
            add(fields[0], fields[1], folder, at);
        });
    }
    if (m_entries.empty())
        throw UsageError(where + " maps no value");
}

void PresetMap::add(const std::string& value, const std::string& preset, const std::string& folder,
                    const std::string& where)
{
    const std::string key = matchKey(value);
    if (key.empty() || preset.empty())
        throw UsageError(where + ": a value and its preset, not " + quoted(value + "=" + preset, kQuotedExcerptBytes));
    std::string target = preset;
    std::error_code ec;
    if (findFactoryPreset(preset) == nullptr)
    {
        if (!folder.empty() && fs::path(preset).is_relative())
            target = (fs::path(folder) / preset).string();
        if (!fs::is_regular_file(target, ec))
            throw UsageError(where + ": " + quoted(preset, kQuotedExcerptBytes) +
                             " is neither a shipped preset nor a preset file" + presetNameHint(preset));
    }
    for (const Entry& e : m_entries)
        if (e.key == key)
        {
            if (e.preset == target)
                return;
            throw UsageError(where + ": " + quoted(value, kQuotedExcerptBytes) + " is mapped twice (to " +
                             quoted(e.preset, kQuotedExcerptBytes) + " and " + quoted(target, kQuotedExcerptBytes) + ")");
        }
    m_entries.push_back({trimmed(value), key, target});
}

const std::string* PresetMap::find(const std::string& value) const
{
    const std::string key = matchKey(value);
    for (const Entry& e : m_entries)
        if (e.key == key)
            return &e.preset;
    return nullptr;
}

std::string PresetMap::suggestion(const std::string& value) const
{
    std::vector<std::string> names;
    for (const Entry& e : m_entries)
        names.push_back(e.value);
    for (const auto& preset : factoryPresets())
        names.push_back(preset.name);
    return nameSuggestion(names, matchKey(value));
}
