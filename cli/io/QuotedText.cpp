#include "cli/io/QuotedText.h"

#include <cstdio>

namespace
{
// The length of the valid UTF-8 sequence at text[i], or 0.
std::size_t sequenceLength(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length;
    unsigned lowest;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2, lowest = 0x80;
    else if (lead >= 0xe0 && lead <= 0xef)
        length = 3, lowest = 0x800;
    else if (lead >= 0xf0 && lead <= 0xf4)
        length = 4, lowest = 0x10000;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    unsigned code = lead & (0x7fu >> length);
    for (std::size_t k = 1; k < length; ++k)
    {
        if ((byte(i + k) & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3f);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not UTF-8.
    if (code < lowest || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
        return 0;
    return length;
}

void appendEscaped(std::string& out, const std::string& text, std::size_t from, std::size_t to)
{
    char escape[16];
    for (std::size_t i = from; i < to;)
    {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = sequenceLength(text, i);
        if (length == 0)
        {
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
            ++i;
        }
        else if (length == 1 && (c < 0x20 || c == 0x7f))
        {
            switch (c)
            {
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            default: std::snprintf(escape, sizeof escape, "\\x%02x", c); out += escape;
            }
            ++i;
        }
        else if (length == 2 && c == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0)
        {
            // U+0080 to U+009F: the C1 controls, which some terminals obey (U+009B opens a command).
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(text[i + 1]));
            out += escape;
            i += 2;
        }
        else
        {
            out.append(text, i, length);
            i += length;
        }
    }
}
} // namespace

std::string printable(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text, 0, text.size());
    return out;
}

std::string quoted(const std::string& text, std::size_t mostBytes)
{
    std::string out = "\"";
    if (text.size() <= mostBytes)
    {
        appendEscaped(out, text, 0, text.size());
        return out + "\"";
    }
    // Back to the start of a character, so that the cut splits none.
    std::size_t cut = mostBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80)
        --cut;
    appendEscaped(out, text, 0, cut);
    return out + "...\" (" + std::to_string(text.size()) + " bytes)";
}
