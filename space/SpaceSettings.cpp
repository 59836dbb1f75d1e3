#include "space/SpaceSettings.h"

#include "space/SpaceCatalogue.h"
#include "space/SpaceError.h"
#include "transmission/QuotedText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace space
{
namespace
{
using transmission::quoted;

std::string trimmed(const std::string& text)
{
    const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), isSpace);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The settings a space takes after its name; what a field starts with says which it is.
enum class Setting
{
    Mix,
    Distance,
    Predelay,
    Normalize,
};

struct SettingName
{
    const char* key;
    Setting setting;
};
constexpr SettingName kSettings[] = {
    {"mix", Setting::Mix}, {"distance", Setting::Distance}, {"predelay", Setting::Predelay}, {"normalize", Setting::Normalize}};
constexpr const char* kSettingsHelp = "mix=PERCENT, distance=METRES, predelay=MS and normalize";

const SettingName* settingNamed(const std::string& key)
{
    for (const SettingName& s : kSettings)
        if (key == s.key)
            return &s;
    return nullptr;
}

// A finite number, then nothing or `unit`, within [lowest, highest].
double number(const std::string& key, const std::string& value, const char* unit, double lowest, double highest,
              const char* range)
{
    char* end = nullptr;
    const double x = std::strtod(value.c_str(), &end);
    const std::string rest = end != nullptr ? trimmed(end) : std::string();
    if (value.empty() || end == value.c_str() || !std::isfinite(x) || !(rest.empty() || lowered(rest) == unit) ||
        x < lowest || x > highest)
        throw SpaceError(key + "= takes " + range + ", not " + quoted(value));
    return x;
}

// The shortest decimal text that reads back to the same number (six digits at least, so that
// the values the settings take, up to 1000, are written without an exponent).
std::string shortest(double value)
{
    char text[40];
    for (int digits = 6; digits <= 17; ++digits)
    {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value)
            break;
    }
    return text;
}

void apply(SpaceSettings& settings, const SettingName& name, const std::string& field, const std::string& value)
{
    switch (name.setting)
    {
    case Setting::Mix:
        settings.mixPercent = number("mix", value, "%", 0.0, 100.0, "the wet share in percent, 0 to 100");
        return;
    case Setting::Distance:
        settings.distance = number("distance", value, "m", 0.1, 1000.0, "the distance in metres, 0.1 to 1000");
        return;
    case Setting::Predelay:
        settings.predelayMs = number("predelay", value, "ms", 0.0, 1000.0, "milliseconds, 0 to 1000");
        return;
    case Setting::Normalize:
        if (field.find('=') != std::string::npos)
            throw SpaceError("normalize takes no value, not " + quoted(field));
        settings.normalize = true;
        return;
    }
}
} // namespace

bool SpaceSettings::generated() const { return findSpace(source) != nullptr; }

bool SpaceSettings::operator==(const SpaceSettings& other) const
{
    return source == other.source && mixPercent == other.mixPercent && distance == other.distance &&
           predelayMs == other.predelayMs && normalize == other.normalize;
}

SpaceSettings parseSpace(const std::string& original)
{
    const std::string text = trimmed(original);
    const std::string word = lowered(text);
    if (text.empty() || word == "off" || word == "none")
        return {};

    // Settings are taken from the end, so that a file's name may hold ':' itself.
    SpaceSettings settings;
    std::string rest = text;
    bool seen[std::size(kSettings)] = {};
    for (auto colon = rest.rfind(':'); colon != std::string::npos; colon = rest.rfind(':'))
    {
        const std::string field = trimmed(rest.substr(colon + 1));
        const auto equals = field.find('=');
        const std::string key = lowered(trimmed(field.substr(0, equals)));
        const SettingName* name = settingNamed(key);
        if (name == nullptr)
        {
            if (equals != std::string::npos)
                throw SpaceError(quoted(field) + " is not a setting of a space: it takes " + kSettingsHelp);
            break;
        }
        const auto index = static_cast<std::size_t>(name - kSettings);
        if (seen[index])
            throw SpaceError(std::string(name->key) + " is given twice in " + quoted(text));
        seen[index] = true;
        apply(settings, *name, field, equals == std::string::npos ? std::string() : trimmed(field.substr(equals + 1)));
        rest = rest.substr(0, colon);
    }

    settings.source = trimmed(rest);
    if (settings.source.empty())
        throw SpaceError("a space is named before its settings: " + spaceNamesText() + ", or an impulse response file; not " +
                         quoted(text));
    if (const RoomDescription* room = findSpace(settings.source))
    {
        settings.source = room->name;
        if (settings.normalize)
            throw SpaceError(std::string("normalize is for an impulse response file; the ") + room->name +
                             " is generated at unit energy");
    }
    else if (settings.distance)
        throw SpaceError("distance= is for a generated space (" + spaceNamesText() + "), not the file " +
                         quoted(settings.source));
    return settings;
}

std::string spaceText(const SpaceSettings& settings)
{
    if (!settings.active())
        return "off";
    std::string text = settings.source;
    if (settings.mixPercent != 100.0)
        text += ":mix=" + shortest(settings.mixPercent);
    if (settings.distance)
        text += ":distance=" + shortest(*settings.distance);
    if (settings.predelayMs != 0.0)
        text += ":predelay=" + shortest(settings.predelayMs);
    if (settings.normalize)
        text += ":normalize";
    return text;
}

} // namespace space
