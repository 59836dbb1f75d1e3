#include "quarl/ProcessingContext.h"

#include <cstring>

namespace quarl
{
void ProcessingContext::PostMonitorData(const void* data, std::uint32_t bytes)
{
    ++m_postCount;
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_latest.assign(p, p + bytes);
    if (m_keepAll)
        m_records.push_back(m_latest);
}

void ProcessingContext::clear()
{
    m_postCount = 0;
    m_records.clear();
    m_latest.clear();
}

std::vector<ChannelMeters> decodeMeterRecord(const std::vector<std::uint8_t>& record)
{
    std::vector<ChannelMeters> out;
    if (record.size() < 4)
        return out;
    std::uint32_t channels = 0;
    std::memcpy(&channels, record.data(), 4);
    if (record.size() != 4 + static_cast<std::size_t>(channels) * 28)
        return out;
    out.resize(channels);
    for (std::uint32_t c = 0; c < channels; ++c)
        std::memcpy(out[c].values, record.data() + 4 + c * 28, 28);
    return out;
}
} // namespace quarl
