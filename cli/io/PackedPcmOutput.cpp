#include "cli/io/PackedPcmOutput.h"

#include "cli/io/LittleEndianPcm.h"

PackedPcmOutput::PackedPcmOutput(SNDFILE* file, int bytesPerSample) : m_file(file), m_bytesPerSample(bytesPerSample)
{
    m_bytes.reserve(kWriteBytes);
}

bool PackedPcmOutput::add(const std::int32_t* samples, std::size_t count)
{
    const std::size_t at = m_bytes.size();
    m_bytes.resize(at + count * static_cast<std::size_t>(m_bytesPerSample));
    packLittleEndianPcm(samples, count, m_bytesPerSample, m_bytes.data() + at);
    return m_bytes.size() < kWriteBytes || flush();
}

bool PackedPcmOutput::flush()
{
    const auto bytes = static_cast<sf_count_t>(m_bytes.size());
    const bool written = bytes == 0 || sf_write_raw(m_file, m_bytes.data(), bytes) == bytes;
    m_bytes.clear();
    return written;
}
