#include "editor/artwork/PngCheck.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>

namespace Artwork
{
namespace
{
constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

std::uint32_t bigEndian(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
} // namespace

bool isPngSignature(const char* data, int size)
{
    return data != nullptr && size >= 8 && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

bool isCompletePng(const char* data, int size)
{
    if (!isPngSignature(data, size))
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::size_t at = 8;
    const auto end = static_cast<std::size_t>(size);
    while (end - at >= 12) // length, type, (data), CRC
    {
        const std::uint32_t length = bigEndian(bytes + at);
        if (length > end - at - 12)
            return false;
        const unsigned char* type = bytes + at + 4;
        const auto crc = static_cast<std::uint32_t>(crc32(0L, type, static_cast<uInt>(length + 4)));
        if (crc != bigEndian(type + 4 + length))
            return false;
        if (std::memcmp(type, "IEND", 4) == 0)
            return true;
        at += 12 + length;
    }
    return false;
}
} // namespace Artwork
