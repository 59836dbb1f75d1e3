#include "quarl/MonitorDelivery.h"

#include <algorithm>

namespace quarl
{
void deliverMonitorData(ZQ::Quarl::IAudioPlugin& plugin, const std::vector<std::uint8_t>& record, bool byteSwap,
                        std::uintptr_t sourceId)
{
    if (record.empty())
        return;
    const ZQ::Quarl::MonitorEntry entry{sourceId, record.data(), static_cast<std::uint32_t>(record.size())};
    plugin.ReceiveMonitorData(&entry, 1, byteSwap, 0);
}

std::vector<std::uint8_t> byteSwapped(const std::vector<std::uint8_t>& record)
{
    std::vector<std::uint8_t> out = record;
    for (std::size_t i = 0; i + 4 <= out.size(); i += 4)
        std::reverse(out.begin() + static_cast<std::ptrdiff_t>(i), out.begin() + static_cast<std::ptrdiff_t>(i + 4));
    return out;
}
} // namespace quarl
