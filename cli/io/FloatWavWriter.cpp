#include "cli/io/FloatWavWriter.h"

#include "cli/settings/UsageError.h"

#include <cerrno>
#include <cstring>

namespace
{
// "fmt " (18 bytes), "fact" (4) and the data chunk's header.
constexpr std::size_t kChunksBytes = 26 + 12 + 8;
// "JUNK" or "ds64": RIFF size, data size and sample count (64 bits each), an empty table.
constexpr std::size_t kDs64Bytes = 8 + 28;

void put(std::string& h, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        h.push_back(static_cast<char>(v >> (8 * i)));
}
} // namespace

FloatWavWriter::FloatWavWriter(const std::string& path, const std::string& name, std::uint32_t channels,
                               std::uint32_t sampleRate, bool roomForRf64, std::uint64_t mostRiffBytes)
    : m_channels(channels), m_sampleRate(sampleRate), m_roomForRf64(roomForRf64), m_mostRiffBytes(mostRiffBytes)
{
    m_file = std::fopen(path.c_str(), "wb");
    const std::string h = header(0);
    if (m_file == nullptr || std::fwrite(h.data(), h.size(), 1, m_file) != 1)
    {
        const int error = errno;
        if (m_file != nullptr)
            std::fclose(m_file);
        throw IoError("cannot write \"" + name + "\": " + std::strerror(error));
    }
}

FloatWavWriter::~FloatWavWriter()
{
    if (m_file != nullptr)
        std::fclose(m_file);
}

std::string FloatWavWriter::header(std::uint64_t frames) const
{
    const std::uint64_t dataBytes = frames * m_channels * 4;
    const std::uint64_t riffBytes = 4 + (m_roomForRf64 ? kDs64Bytes : 0) + kChunksBytes + m_chunks.size() + dataBytes;
    const bool rf64 = riffBytes > m_mostRiffBytes;
    const auto size32 = [&](std::uint64_t size) { return rf64 ? 0xffffffffu : size; };
    std::string h;
    h += rf64 ? "RF64" : "RIFF";
    put(h, size32(riffBytes), 4);
    h += "WAVE";
    if (m_roomForRf64)
    {
        h += rf64 ? "ds64" : "JUNK";
        put(h, 28, 4);
        put(h, rf64 ? riffBytes : 0, 8);
        put(h, rf64 ? dataBytes : 0, 8);
        put(h, rf64 ? frames : 0, 8);
        put(h, 0, 4); // no table of other chunks' sizes
    }
    h += "fmt ";
    put(h, 18, 4);
    put(h, 3, 2); // WAVE_FORMAT_IEEE_FLOAT
    put(h, m_channels, 2);
    put(h, m_sampleRate, 4);
    put(h, static_cast<std::uint64_t>(m_sampleRate) * m_channels * 4, 4);
    put(h, m_channels * 4, 2);
    put(h, 32, 2);
    put(h, 0, 2); // cbSize
    h += "fact";
    put(h, 4, 4);
    put(h, size32(frames), 4);
    h += m_chunks;
    h += "data";
    put(h, size32(dataBytes), 4);
    return h;
}

bool FloatWavWriter::addChunks(const std::string& chunks)
{
    if (!m_error.empty())
        return false;
    m_chunks = chunks;
    const std::string h = header(0);
    if (std::fseek(m_file, 0, SEEK_SET) != 0 || std::fwrite(h.data(), h.size(), 1, m_file) != 1)
    {
        m_error = std::strerror(errno);
        return false;
    }
    return true;
}

bool FloatWavWriter::write(const float* interleaved, std::uint32_t frames)
{
    if (!m_error.empty())
        return false;
    if (!m_roomForRf64 && 4 + kChunksBytes + m_chunks.size() + (m_frames + frames) * m_channels * 4 > m_mostRiffBytes)
    {
        m_error = "it would outgrow the 4 GiB a WAV file holds";
        return false;
    }
    static_assert(sizeof(float) == 4, "32-bit floats");
    if (std::fwrite(interleaved, sizeof(float) * m_channels, frames, m_file) != frames)
    {
        m_error = std::strerror(errno);
        return false;
    }
    m_frames += frames;
    return true;
}

std::string FloatWavWriter::close()
{
    if (m_file == nullptr)
        return m_error;
    const std::string h = header(m_frames);
    const bool sized = std::fseek(m_file, 0, SEEK_SET) == 0 && std::fwrite(h.data(), h.size(), 1, m_file) == 1;
    if (!sized && m_error.empty())
        m_error = std::strerror(errno);
    if (std::fclose(m_file) != 0 && m_error.empty())
        m_error = std::strerror(errno);
    m_file = nullptr;
    return m_error;
}
