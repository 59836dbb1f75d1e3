// The stand-in host's processing context: collects the meter records an effect posts.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <cstdint>
#include <vector>

namespace quarl
{
class ProcessingContext final : public ZQ::Quarl::IProcessingContext
{
public:
    // keepAll: keep every record (tests); otherwise only the latest (long renders).
    explicit ProcessingContext(bool keepAll = true) : m_keepAll(keepAll) {}
    ~ProcessingContext() = default;

    void PostMonitorData(const void* data, std::uint32_t bytes) override;
    bool CanPostMonitorData() override { return m_monitoring; }

    // When off, the effect is told not to post.
    void setMonitoring(bool on) { m_monitoring = on; }

    std::uint64_t postCount() const { return m_postCount; }
    const std::vector<std::vector<std::uint8_t>>& records() const { return m_records; }
    const std::vector<std::uint8_t>& latest() const { return m_latest; }
    void clear();

private:
    bool m_keepAll;
    bool m_monitoring = true;
    std::uint64_t m_postCount = 0;
    std::vector<std::vector<std::uint8_t>> m_records;
    std::vector<std::uint8_t> m_latest;
};

// One channel's meter values read from a posted record.
struct ChannelMeters
{
    float values[7];
};

// Decodes a meter record: a 32-bit channel count, then seven floats per channel. Empty
// when the record is shorter than its count says.
std::vector<ChannelMeters> decodeMeterRecord(const std::vector<std::uint8_t>& record);
} // namespace quarl
