#include "cli/render/LineHeaders.h"

#include "cli/io/QuotedText.h"
#include "cli/render/LineColumns.h"
#include "cli/settings/NameSuggestions.h"
#include "cli/settings/OptionPairs.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <cctype>

namespace
{
std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Taken for a misspelling of `known`: one letter off in a name of five or more, two in one of
// eight or more ("presett", "Noise level"). Shorter headers ("Date", "Take") are a list's own.
bool misspelt(const std::string& header, const std::string& known)
{
    if (header.size() < 5)
        return false;
    const std::size_t d = editDistance(header, known);
    return d > 0 && d <= (known.size() >= 8 ? 2u : 1u);
}

std::string columnAt(const std::string& header, std::size_t position)
{
    return "column " + (position > 0 ? std::to_string(position) + " " : std::string()) +
           quoted(header, kQuotedExcerptBytes) + ": ";
}
} // namespace

LineHeaders::LineHeaders(const std::string& columnMap, const quarl::PluginDescription& description,
                         std::vector<std::string> nameFields)
    : m_nameFields(std::move(nameFields))
{
    for (const LineColumn& c : lineColumns())
        m_known.push_back(c.name);
    for (const auto& p : description.properties)
        m_known.push_back(p.name);
    for (const auto& [header, target] : optionPairs(columnMap, "--columns", "Source file=input,Look=preset"))
    {
        const std::string entry = header + "=" + target;
        const std::string wanted = lower(target); // a lambda cannot capture a structured binding
        const auto known = std::find_if(m_known.begin(), m_known.end(),
                                        [&](const std::string& k) { return lower(k) == wanted; });
        if (known == m_known.end())
        {
            const std::string suggestion = nameSuggestion(m_known, target);
            throw UsageError("--columns " + quoted(entry, kQuotedExcerptBytes) + ": no column " +
                             quoted(target, kQuotedExcerptBytes) + " in the tool" +
                             (suggestion.empty() ? "; the columns are those of --lines' help and the effect's properties"
                                                 : "; " + suggestion));
        }
        for (const auto& [mapped, to] : m_map)
            if (lower(mapped) == lower(header))
                throw UsageError("--columns maps " + quoted(header, kQuotedExcerptBytes) + " twice");
        m_map.emplace_back(header, *known);
    }
    m_mapUsed.assign(m_map.size(), false);
}

const std::string& LineHeaders::column(const std::string& header, std::size_t position)
{
    if (const auto found = m_columns.find(header); found != m_columns.end())
        return found->second;
    const std::string name = lower(trimmed(header));
    std::string given;
    for (std::size_t i = 0; i < m_map.size() && given.empty(); ++i)
        if (lower(m_map[i].first) == name)
        {
            given = m_map[i].second;
            m_mapUsed[i] = true;
        }
    if (given.empty())
        for (const std::string& k : m_known)
            if (lower(k) == name)
                given = k;
    const bool named = std::any_of(m_nameFields.begin(), m_nameFields.end(),
                                   [&](const std::string& f) { return lower(f) == name; });
    if (!given.empty())
    {
        const auto [other, fresh] = m_givenBy.emplace(lower(given), header);
        if (!fresh)
        {
            m_problems.push_back(columnAt(header, position) + "gives " + given + ", as " +
                                 quoted(other->second, kQuotedExcerptBytes) + " does: map one of them elsewhere");
            given.clear();
        }
    }
    else if (!named && std::any_of(m_known.begin(), m_known.end(), [&](const std::string& k) { return misspelt(name, k); }))
    {
        std::vector<std::string> near;
        for (const std::string& k : m_known)
            if (misspelt(name, k))
                near.push_back(k);
        m_problems.push_back(columnAt(header, position) + "no such column; " + nameSuggestion(near, header) +
                             " (a column of the list's own, kept for the names, is one --name uses)");
    }
    else
        m_own.push_back(header);
    return m_columns.emplace(header, given).first->second;
}

bool LineHeaders::gives(const std::string& name) const
{
    return m_givenBy.count(lower(name)) > 0;
}

std::vector<std::string> LineHeaders::problems(bool finished) const
{
    std::vector<std::string> all = m_problems;
    if (!finished)
        return all;
    for (std::size_t i = 0; i < m_map.size(); ++i)
        if (!m_mapUsed[i])
        {
            std::vector<std::string> headers;
            for (const auto& [header, column] : m_columns)
                headers.push_back(header);
            const std::string suggestion = nameSuggestion(headers, m_map[i].first);
            all.push_back("--columns: the list has no column " + quoted(m_map[i].first, kQuotedExcerptBytes) +
                          (suggestion.empty() ? std::string() : "; " + suggestion));
        }
    if (!gives("input"))
        all.push_back("no column gives the input file: name one \"input\", or map yours with --columns \"HEADER=input\"");
    return all;
}
