#include "cli/settings/TypedNumber.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
// The code point at `at` and its length in bytes (1 for a byte that starts no UTF-8 sequence).
std::uint32_t codePointAt(const std::string& s, std::size_t at, std::size_t& length)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(at);
    length = 1;
    if (c < 0x80)
        return c;
    const std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    if (n == 0 || at + n > s.size())
        return c;
    std::uint32_t cp = c & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i)
    {
        if ((b(at + i) & 0xC0) != 0x80)
            return c;
        cp = (cp << 6) | (b(at + i) & 0x3F);
    }
    length = n;
    return cp;
}

bool isSpace(std::uint32_t cp)
{
    return cp == ' ' || cp == '\t' || cp == 0xA0 || cp == 0x2009 || cp == 0x202F;
}

bool isMinus(std::uint32_t cp)
{
    return cp == '-' || cp == 0x2212 || cp == 0x2013;
}

std::string trimmed(const std::string& s)
{
    std::size_t first = 0, length = 0;
    while (first < s.size() && isSpace(codePointAt(s, first, length)))
        first += length;
    std::size_t end = first;
    for (std::size_t at = first; at < s.size(); at += length)
        if (!isSpace(codePointAt(s, at, length)))
            end = at + length;
    return s.substr(first, end - first);
}

// Characters that stand where a number's do and are none of them.
struct Lookalike
{
    std::uint32_t from, to;
    const char* what;
};
constexpr Lookalike kLookalikes[] = {
    {0x2010, 0x2012, "is not a minus sign: type - or \xe2\x88\x92"},
    {0x2014, 0x2015, "is not a minus sign: type - or \xe2\x88\x92"},
    {0x02D7, 0x02D7, "is not a minus sign: type - or \xe2\x88\x92"},
    {0x2796, 0x2796, "is not a minus sign: type - or \xe2\x88\x92"},
    {0xFE58, 0xFE58, "is not a minus sign: type - or \xe2\x88\x92"},
    {0xFE63, 0xFE63, "is not a minus sign: type - or \xe2\x88\x92"},
    {0xFF0D, 0xFF0D, "is not a minus sign: type - or \xe2\x88\x92"},
    {0xFF0B, 0xFF0B, "is not a plus sign: type +"},
    {0xFF10, 0xFF19, "is a full-width digit: type 0 to 9"},
    {0xFF0E, 0xFF0E, "is not a decimal point: type ."},
    {0x00B7, 0x00B7, "is not a decimal point: type ."},
    {0x2024, 0x2024, "is not a decimal point: type ."},
    {0x066B, 0x066B, "is not a decimal point: type ."},
    {0xFF0C, 0xFF0C, "is not a decimal comma: type ."},
};
} // namespace

bool readTypedNumber(const std::string& text, double& value, std::string& rest)
{
    std::string t = trimmed(text);
    std::size_t length = 0;
    if (!t.empty() && isMinus(codePointAt(t, 0, length)))
        t.replace(0, length, "-");
    // A digit or a point must follow the sign: strtod's own spaces and second signs are not taken.
    const std::size_t digits = t.rfind('-', 0) == 0 ? 1 : t.rfind('+', 0) == 0 ? 1 : 0;
    if (digits >= t.size() || !(std::isdigit(static_cast<unsigned char>(t[digits])) || t[digits] == '.'))
        return false;
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || !std::isfinite(value))
        return false;
    rest = trimmed(end);
    return true;
}

std::string decimalPointed(const std::string& text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos || comma == 0 ||
        comma + 1 >= text.size() || !std::isdigit(static_cast<unsigned char>(text[comma - 1])) ||
        !std::isdigit(static_cast<unsigned char>(text[comma + 1])))
        return text;
    std::string pointed = text;
    pointed[comma] = '.';
    double value = 0.0;
    std::string rest;
    // Only a number whole before the comma and a unit (letters, %) at most after it.
    if (!readTypedNumber(pointed, value, rest))
        return text;
    for (char c : rest)
        if (!std::isalpha(static_cast<unsigned char>(c)) && c != '%')
            return text;
    return pointed;
}

std::string numberLookalikes(const std::string& text)
{
    std::string notes;
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size(); at += length)
    {
        const std::uint32_t cp = codePointAt(text, at, length);
        for (const Lookalike& l : kLookalikes)
            if (cp >= l.from && cp <= l.to)
            {
                char code[16];
                std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
                const std::string note = "'" + text.substr(at, length) + "' (" + code + ") " + l.what;
                if (notes.find(note) == std::string::npos)
                    notes += "; " + note;
            }
    }
    if (decimalPointed(text) != text)
        notes += "; a decimal comma is read only in lists separated by semicolons or tabs: type " + decimalPointed(text);
    return notes;
}
