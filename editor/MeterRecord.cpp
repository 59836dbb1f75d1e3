#include "editor/MeterRecord.h"

#include <cstring>

namespace
{
std::uint32_t readWord(const unsigned char* p, bool byteSwap)
{
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return byteSwap ? __builtin_bswap32(w) : w;
}
} // namespace

std::uint32_t MeterRecord::channels() const
{
    return readWord(m_bytes, m_byteSwap);
}

float MeterRecord::value(std::uint32_t channel, int field) const
{
    const std::size_t offset = 4 + (static_cast<std::size_t>(channel) * kFields + static_cast<std::size_t>(field)) * 4;
    const std::uint32_t w = readWord(m_bytes + offset, m_byteSwap);
    float f;
    std::memcpy(&f, &w, sizeof f);
    return f;
}
