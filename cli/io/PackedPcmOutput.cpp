#include "cli/io/PackedPcmOutput.h"

namespace
{
// The top `Bytes` bytes of each sample, lowest first.
template <int Bytes>
void packLittleEndian(const std::int32_t* samples, std::size_t count, unsigned char* into)
{
    for (std::size_t i = 0; i < count; ++i)
    {
        const auto u = static_cast<std::uint32_t>(samples[i]);
        for (int b = 0; b < Bytes; ++b)
            into[i * Bytes + b] = static_cast<unsigned char>(u >> (8 * (4 - Bytes + b)));
    }
}
} // namespace

int PackedPcmOutput::bytesPerSampleOf(int format)
{
    const int major = format & SF_FORMAT_TYPEMASK, endian = format & SF_FORMAT_ENDMASK;
    const bool littleEndianData = (major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64 ||
                                   major == SF_FORMAT_W64) &&
                                  (endian == SF_ENDIAN_FILE || endian == SF_ENDIAN_LITTLE);
    if (!littleEndianData)
        return 0;
    switch (format & SF_FORMAT_SUBMASK)
    {
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    default: return 0;
    }
}

PackedPcmOutput::PackedPcmOutput(SNDFILE* file, int bytesPerSample) : m_file(file), m_bytesPerSample(bytesPerSample)
{
    m_bytes.reserve(kWriteBytes);
}

bool PackedPcmOutput::add(const std::int32_t* samples, std::size_t count)
{
    const std::size_t at = m_bytes.size();
    m_bytes.resize(at + count * static_cast<std::size_t>(m_bytesPerSample));
    if (m_bytesPerSample == 2)
        packLittleEndian<2>(samples, count, m_bytes.data() + at);
    else
        packLittleEndian<3>(samples, count, m_bytes.data() + at);
    return m_bytes.size() < kWriteBytes || flush();
}

bool PackedPcmOutput::flush()
{
    const auto bytes = static_cast<sf_count_t>(m_bytes.size());
    const bool written = bytes == 0 || sf_write_raw(m_file, m_bytes.data(), bytes) == bytes;
    m_bytes.clear();
    return written;
}
