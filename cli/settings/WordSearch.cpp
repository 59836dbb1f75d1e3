#include "cli/settings/WordSearch.h"

#include <cctype>

namespace
{
constexpr std::size_t kPrefixFrom = 5;

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// `phrase` in `text` starting at a word's start and ending at one's end (or, for a long
// enough phrase, anywhere within the last word).
bool holdsWord(const std::string& text, const std::string& phrase)
{
    if (phrase.empty())
        return true;
    for (std::size_t at = text.find(phrase); at != std::string::npos; at = text.find(phrase, at + 1))
    {
        const bool starts = at == 0 || !isWordChar(text[at - 1]);
        const std::size_t end = at + phrase.size();
        const bool ends = end == text.size() || !isWordChar(text[end]);
        if (starts && (ends || phrase.size() >= kPrefixFrom))
            return true;
    }
    return false;
}
} // namespace

bool holdsEveryWord(const std::string& text, const std::vector<std::string>& words)
{
    const std::string lowered = lower(text);
    for (const auto& w : words)
        if (!holdsWord(lowered, lower(w)))
            return false;
    return true;
}

std::vector<std::string> tagList(const std::string& commaSeparated)
{
    std::vector<std::string> tags;
    std::size_t from = 0;
    while (from < commaSeparated.size())
    {
        std::size_t comma = commaSeparated.find(',', from);
        if (comma == std::string::npos)
            comma = commaSeparated.size();
        std::string tag = commaSeparated.substr(from, comma - from);
        while (!tag.empty() && tag.front() == ' ')
            tag.erase(tag.begin());
        if (!tag.empty())
            tags.push_back(tag);
        from = comma + 1;
    }
    return tags;
}
