#include "cli/settings/OptionPairs.h"

#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"

#include <algorithm>

namespace
{
std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}
} // namespace

std::vector<std::pair<std::string, std::string>> optionPairs(const std::string& text, const std::string& option,
                                                             const std::string& example)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t at = 0; at < text.size();)
    {
        const std::size_t end = std::min(text.find(',', at), text.size());
        const std::string entry = text.substr(at, end - at);
        at = end + 1;
        if (trimmed(entry).empty())
            continue;
        const std::size_t eq = entry.rfind('=');
        const std::string name = eq == std::string::npos ? std::string() : trimmed(entry.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : trimmed(entry.substr(eq + 1));
        if (name.empty() || value.empty())
            throw UsageError(option + " takes NAME=VALUE entries separated by commas (\"" + example + "\"), not " +
                             quoted(entry, kQuotedExcerptBytes));
        pairs.emplace_back(name, value);
    }
    return pairs;
}
