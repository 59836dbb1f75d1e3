#include "cli/io/RiffChunks.h"

#include <algorithm>

namespace
{
// The RIFF header: "RIFF", its size, the form type.
constexpr std::size_t kRiffHeaderBytes = 12;
constexpr std::size_t kChunkHeaderBytes = 8;

std::uint32_t littleEndian32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 4; i-- > 0;)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

void putLittleEndian32(std::string& bytes, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(v >> (8 * i)));
}
} // namespace

std::vector<RiffChunk> riffChunks(const std::string& bytes)
{
    std::vector<RiffChunk> chunks;
    for (std::size_t at = kRiffHeaderBytes; at + kChunkHeaderBytes <= bytes.size();)
    {
        const std::uint32_t size = littleEndian32(bytes, at + 4);
        const std::size_t start = at + kChunkHeaderBytes;
        chunks.push_back({bytes.substr(at, 4), bytes.substr(start, std::min<std::size_t>(size, bytes.size() - start)), size});
        at = start + size + (size & 1);
    }
    return chunks;
}

void replaceChunk(std::vector<RiffChunk>& chunks, const std::string& id, const std::string& data)
{
    for (RiffChunk& c : chunks)
        if (c.id == id)
            c = {id, data, static_cast<std::uint32_t>(data.size())};
}

void moveChunkLast(std::vector<RiffChunk>& chunks, const std::string& id, std::uint32_t claimed)
{
    const auto moved = std::stable_partition(chunks.begin(), chunks.end(), [&](const RiffChunk& c) { return c.id != id; });
    for (auto c = moved; c != chunks.end(); ++c)
        c->claimed = claimed;
}

namespace
{
std::string claimedChunkBytes(const std::string& id, std::uint32_t claimed, const std::string& data)
{
    std::string bytes = id;
    putLittleEndian32(bytes, claimed);
    bytes += data;
    if (data.size() % 2 != 0)
        bytes.push_back('\0');
    return bytes;
}
} // namespace

std::string chunkBytes(const std::string& id, const std::string& data)
{
    return claimedChunkBytes(id, static_cast<std::uint32_t>(data.size()), data);
}

std::string riffBytes(const std::vector<RiffChunk>& chunks)
{
    std::string body = "WAVE";
    for (const RiffChunk& c : chunks)
        body += claimedChunkBytes(c.id, c.claimed, c.data);
    std::string riff = "RIFF";
    putLittleEndian32(riff, static_cast<std::uint32_t>(body.size()));
    return riff + body;
}
