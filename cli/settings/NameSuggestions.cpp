#include "cli/settings/NameSuggestions.h"

#include "editor/EditorLayout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

namespace
{
std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// "GateHoldTime" -> gate, hold, time; "LoFiBitDepthType" -> lo, fi, bit, depth, type; runs of
// capitals stay one word ("FiltersLPFFreq" -> filters, lpf, freq).
std::vector<std::string> wordsOf(const std::string& name)
{
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i < name.size(); ++i)
    {
        const bool upper = std::isupper(static_cast<unsigned char>(name[i])) != 0;
        const bool nextLower = i + 1 < name.size() && std::islower(static_cast<unsigned char>(name[i + 1])) != 0;
        const bool prevLower = i > 0 && std::islower(static_cast<unsigned char>(name[i - 1])) != 0;
        if (upper && !word.empty() && (prevLower || nextLower))
        {
            words.push_back(lower(word));
            word.clear();
        }
        word += name[i];
    }
    if (!word.empty())
        words.push_back(lower(word));
    return words;
}

// Words people use for a property that neither its name nor the editor's legend holds.
// clang-format off
const std::multimap<std::string, std::string> kPlainWords = {
    {"mix", "Balance"}, {"wet", "Balance"}, {"dry", "Balance"},
    {"volume", "OutputGain"}, {"trim", "InputGain"},
    {"crush", "LoFiBitDepthType"}, {"bitcrush", "LoFiBitDepthType"},
    {"samplerate", "LoFiDownSampleIndex"}, {"downsample", "LoFiDownSampleIndex"},
    {"device", "SIMType"}, {"sim", "SIMType"},
    {"cutoff", "FiltersLPFFreq"}, {"cutoff", "FiltersHPFFreq"},
    {"hiss", "NoiseLevel"}, {"squelch", "GateThreshold"},
};
// clang-format on

std::string joinQuoted(const std::vector<std::string>& names)
{
    std::string text;
    for (const auto& n : names)
        text += (text.empty() ? "\"" : ", \"") + n + "\"";
    return text;
}
} // namespace

const std::vector<PropertyAlias>& propertyAliases()
{
    static const std::vector<PropertyAlias> aliases = [] {
        std::map<std::string, std::set<std::string>> labelled; // legend -> properties it labels
        for (const auto& control : EditorLayout::controls())
            if (control.parameter != nullptr && control.legend != nullptr &&
                control.legendPlace != EditorLayout::LegendPlace::Inside && std::string(control.legend) != "ON")
                labelled[control.legend].insert(control.parameter);
        std::set<std::string> properties;
        for (const auto& control : EditorLayout::controls())
            if (control.parameter != nullptr)
                properties.insert(control.parameter);
        std::map<std::string, int> namesHolding; // word -> property names that hold it
        for (const auto& property : properties)
            for (const auto& word : wordsOf(property))
                ++namesHolding[word];
        std::vector<PropertyAlias> out;
        for (const auto& [legend, properties] : labelled)
            if (properties.size() == 1 && namesHolding[lower(legend)] <= 1)
                out.push_back({legend, *properties.begin()});
        return out;
    }();
    return aliases;
}

std::string propertyForAlias(const std::string& alias)
{
    for (const auto& a : propertyAliases())
        if (lower(a.alias) == lower(alias))
            return a.property;
    return {};
}

std::string aliasOfProperty(const std::string& property)
{
    for (const auto& a : propertyAliases())
        if (a.property == property)
            return a.alias;
    return {};
}

std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
    {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
        {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string propertySuggestion(const quarl::PluginDescription& d, const std::string& name)
{
    const std::string part = lower(name);
    // A part of the names: "LPF", "freq", "gain". Parts of one or two letters match too much.
    if (part.size() >= 3)
    {
        std::vector<std::string> holding;
        for (const auto& p : d.properties)
            if (lower(p.name).find(part) != std::string::npos)
                holding.push_back(p.name);
        if (!holding.empty())
            return (holding.size() == 1 ? "did you mean " : "properties with \"" + name + "\" in their names: ") +
                   joinQuoted(holding) + (holding.size() == 1 ? "?" : "");
    }
    std::vector<std::string> plain;
    for (auto [it, end] = kPlainWords.equal_range(part); it != end; ++it)
        plain.push_back(it->second);
    if (!plain.empty())
        return "did you mean " + joinQuoted(plain) + (plain.size() > 1 ? " (one of them)?" : "?");
    // A name is suggested when it is this close; names whose lengths differ by more cannot
    // be, and are not compared (a name of megabytes would take seconds for each).
    const std::size_t closeEnough = std::max<std::size_t>(3, name.size() / 3);
    std::vector<std::pair<std::size_t, std::string>> nearest;
    for (const auto& p : d.properties)
        if (std::max(name.size(), p.name.size()) - std::min(name.size(), p.name.size()) <= closeEnough)
            nearest.emplace_back(editDistance(name, p.name), p.name);
    for (const auto& a : propertyAliases())
        if (std::max(name.size(), a.alias.size()) - std::min(name.size(), a.alias.size()) <= 1)
            nearest.emplace_back(editDistance(name, a.alias), a.alias);
    std::sort(nearest.begin(), nearest.end());
    if (!nearest.empty() && nearest[0].first <= closeEnough &&
        (nearest[0].first < nearest[0].second.size() / 2 + 1))
        return "did you mean \"" + nearest[0].second + "\"?";
    return {};
}

std::string nameSuggestion(const std::vector<std::string>& names, const std::string& typed)
{
    const std::string t = lower(typed);
    std::vector<std::string> holding;
    for (const auto& n : names)
        if (t.size() >= 3 && lower(n).find(t) != std::string::npos)
            holding.push_back(n);
    if (!holding.empty())
        return "did you mean " + joinQuoted(holding) + (holding.size() > 1 ? " (one of them)?" : "?");
    std::size_t best = std::string::npos;
    std::string closest;
    for (const auto& n : names)
        if (const std::size_t d = editDistance(typed, n); d < best)
        {
            best = d;
            closest = n;
        }
    if (!closest.empty() && best <= std::max<std::size_t>(2, closest.size() / 3))
        return "did you mean \"" + closest + "\"?";
    return {};
}

std::string ambiguousListNumber(const quarl::PropertyDescription& p, const std::string& text, int& onlyReading)
{
    onlyReading = -1;
    // A list of numbers: every entry past an "Off" starts with a digit.
    std::size_t numbers = 0;
    for (const auto& v : p.values)
        numbers += !v.empty() && std::isdigit(static_cast<unsigned char>(v[0])) ? 1 : 0;
    if (p.values.empty() || numbers + 1 < p.values.size())
        return {};
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isdigit(static_cast<unsigned char>(text[0])) || number > 1e6 ||
        number != std::floor(number))
        return {};
    const auto n = static_cast<long>(number);
    for (const auto& v : p.values)
        if (v == text)
            return {};
    // The unit the entries are in: a slope says it, rates and depths by the property.
    const std::string& sample = p.values.back();
    const bool rates = lower(p.name).find("sample") != std::string::npos;
    const std::string unit = sample.find(' ') != std::string::npos ? "" : rates ? " Hz" : " bits";
    std::string asValue;
    int valueEntry = -1;
    for (std::size_t i = 0; i < p.values.size() && asValue.empty(); ++i)
    {
        const std::string& v = p.values[i];
        if (v.empty() || !std::isdigit(static_cast<unsigned char>(v[0])))
            continue;
        const long entry = std::strtol(v.c_str(), nullptr, 10);
        if (entry == n)
            asValue = v + unit + " is `" + v + "`";
        else if (rates && entry == n * 1000)
            asValue = v + unit + " is `" + std::to_string(n) + "kHz`";
        valueEntry = asValue.empty() ? -1 : static_cast<int>(i);
    }
    // "24" for a slope: no index 24, so only the entry "24 dB/oct" is meant.
    if (valueEntry >= 0 && n >= static_cast<long>(p.values.size()))
    {
        onlyReading = valueEntry;
        return {};
    }
    if (asValue.empty())
        asValue = text + (unit == " bits" && n == 1 ? " bit" : unit) + " is not one of its entries";
    std::string asIndex;
    if (n < static_cast<long>(p.values.size()))
        asIndex = "index " + std::to_string(n) + ", " + p.values[static_cast<std::size_t>(n)] +
                  (p.values[static_cast<std::size_t>(n)] == "Off" ? "" : unit) + ", is `#" + std::to_string(n) + "`";
    else
        asIndex = "there is no index " + std::to_string(n);
    return "a bare " + text + " reads two ways for \"" + p.name + "\": " + asValue + "; " + asIndex;
}
