// User text as a message quotes it: in double quotes, at most 64 bytes of it, cut at a
// character's boundary, so that a long or hostile value cannot swamp the message.
#pragma once

#include <cstddef>
#include <string>

namespace transmission
{

inline std::string quoted(const std::string& text)
{
    constexpr std::size_t kMostBytes = 64;
    if (text.size() <= kMostBytes)
        return "\"" + text + "\"";
    std::size_t cut = kMostBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return "\"" + text.substr(0, cut) + "...\" (" + std::to_string(text.size()) + " bytes)";
}

} // namespace transmission
