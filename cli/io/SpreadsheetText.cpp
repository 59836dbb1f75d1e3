#include "cli/io/SpreadsheetText.h"

#include <cstdint>

namespace
{
// Windows-1252's 0x80 to 0x9F; the five bytes it leaves undefined are read as their C1
// controls, as Windows reads them.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80)
        out.push_back(static_cast<char>(cp));
    else if (cp < 0x800)
    {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else
    {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}
} // namespace

bool isUtf8(const std::string& text)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;)
    {
        const unsigned char c = s[i];
        std::size_t length = 0;
        std::uint32_t cp = 0, least = 0;
        if (c < 0x80)
        {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0)
            length = 2, cp = c & 0x1F, least = 0x80;
        else if ((c & 0xF0) == 0xE0)
            length = 3, cp = c & 0x0F, least = 0x800;
        else if ((c & 0xF8) == 0xF0)
            length = 4, cp = c & 0x07, least = 0x10000;
        else
            return false;
        if (i + length > n)
            return false;
        for (std::size_t k = 1; k < length; ++k)
        {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past Unicode's are not UTF-8.
        if (cp < least || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

SpreadsheetText spreadsheetText(std::string bytes)
{
    if (bytes.rfind("\xef\xbb\xbf", 0) == 0)
        bytes.erase(0, 3);
    if (isUtf8(bytes))
        return {std::move(bytes), false};
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes)
    {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(text, c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c);
    }
    return {std::move(text), true};
}
