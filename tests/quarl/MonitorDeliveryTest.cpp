// Monitor data on its way from an effect to a plugin object, and the stand-in host's
// window that records what a plugin sends it.
#include "quarl/HostWindow.h"
#include "quarl/MonitorDelivery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
class RecordingPlugin final : public ZQ::Quarl::DefaultAudioPluginImplementation
{
public:
    void DestroyPlugin() noexcept override {}
    void ReceiveMonitorData(const ZQ::Quarl::MonitorEntry* entries, std::uint32_t count, bool byteSwap,
                            std::uint8_t extra) noexcept override
    {
        ++calls;
        lastCount = count;
        lastSwap = byteSwap;
        lastExtra = extra;
        if (count > 0)
        {
            // What the editor reads: the record behind the first entry's second field.
            const void* data = nullptr;
            std::memcpy(&data, reinterpret_cast<const char*>(entries) + sizeof(std::uintptr_t), sizeof data);
            const auto* bytes = static_cast<const std::uint8_t*>(data);
            received.assign(bytes, bytes + entries[0].bytes);
            sourceId = entries[0].sourceId;
        }
    }

    int calls = 0;
    std::uint32_t lastCount = 0;
    bool lastSwap = false;
    std::uint8_t lastExtra = 0xFF;
    std::uintptr_t sourceId = 0;
    std::vector<std::uint8_t> received;
};

std::vector<std::uint8_t> twoChannelRecord()
{
    std::vector<std::uint8_t> record(60, 0);
    const std::uint32_t channels = 2;
    std::memcpy(record.data(), &channels, 4);
    for (int i = 0; i < 14; ++i)
    {
        const float meter = 0.05f * static_cast<float>(i + 1);
        std::memcpy(record.data() + 4 + 4 * i, &meter, 4);
    }
    return record;
}

TEST(MonitorDelivery, TheRecordArrivesAsTheDataOfOneEntry)
{
    RecordingPlugin plugin;
    const auto record = twoChannelRecord();
    quarl::deliverMonitorData(plugin, record, false, 77);
    EXPECT_EQ(plugin.calls, 1);
    EXPECT_EQ(plugin.lastCount, 1u);
    EXPECT_FALSE(plugin.lastSwap);
    EXPECT_EQ(plugin.lastExtra, 0);
    EXPECT_EQ(plugin.sourceId, 77u);
    EXPECT_EQ(plugin.received, record);
}

TEST(MonitorDelivery, ByteSwappedRecordsSaySo)
{
    RecordingPlugin plugin;
    const auto record = twoChannelRecord();
    const auto swapped = quarl::byteSwapped(record);
    EXPECT_EQ(std::vector<std::uint8_t>(swapped.begin(), swapped.begin() + 4), (std::vector<std::uint8_t>{0, 0, 0, 2}));
    EXPECT_EQ(quarl::byteSwapped(swapped), record);
    quarl::deliverMonitorData(plugin, swapped, true);
    EXPECT_TRUE(plugin.lastSwap);
    EXPECT_EQ(plugin.received, swapped);
}

TEST(MonitorDelivery, NothingIsDeliveredForAnEmptyRecord)
{
    RecordingPlugin plugin;
    quarl::deliverMonitorData(plugin, {});
    EXPECT_EQ(plugin.calls, 0);
}

TEST(HostWindow, KeepsWhatIsSentToIt)
{
    quarl::HostWindow first, second;
    EXPECT_EQ(SendMessageW(first.handle(), 0x4981, 114, 0), 0);
    SendMessageW(second.handle(), WM_DESTROY, 1, 2);
    ASSERT_EQ(first.messages().size(), 1u);
    EXPECT_EQ(first.messages()[0].message, 0x4981u);
    EXPECT_EQ(first.messages()[0].wParam, 114u);
    ASSERT_EQ(second.messages().size(), 1u);
    EXPECT_EQ(second.messages()[0].lParam, 2);
}
} // namespace
