// The stand-in host's allocator accounting and failure injection, and the meter-record
// decoding the editor side relies on.
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(HostAllocator, CountsLiveMemoryAndFailsOnRequest)
{
    quarl::HostAllocator a;
    void* p = a.Malloc(100);
    void* q = a.Malloc(28);
    ASSERT_NE(p, nullptr);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 16, 0u);
    EXPECT_EQ(a.liveBlocks(), 2u);
    EXPECT_EQ(a.liveBytes(), 128u);
    a.Free(p);
    a.Free(nullptr);
    EXPECT_EQ(a.liveBytes(), 28u);
    EXPECT_EQ(a.peakBytes(), 128u);

    a.failNth(2); // the second request from now
    void* first = a.Malloc(8);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(a.Malloc(8), nullptr);
    void* third = a.Malloc(8);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(a.failures(), 1u);
    EXPECT_EQ(a.requests(), 5u);

    a.failNth(1);
    a.failNth(0); // cancelled
    void* fine = a.Malloc(8);
    EXPECT_NE(fine, nullptr);

    a.setOutOfMemory(true);
    EXPECT_EQ(a.Malloc(1), nullptr);
    a.setOutOfMemory(false);
    for (void* x : {q, first, third, fine})
        a.Free(x);
    EXPECT_EQ(a.liveBlocks(), 0u);
    EXPECT_EQ(a.liveBytes(), 0u);
}

TEST(ProcessingContext, DecodesMeterRecords)
{
    std::vector<std::uint8_t> record(4 + 2 * 28);
    const std::uint32_t channels = 2;
    std::memcpy(record.data(), &channels, 4);
    for (int i = 0; i < 14; ++i)
    {
        const float v = 0.5f * static_cast<float>(i);
        std::memcpy(record.data() + 4 + 4 * i, &v, 4);
    }
    quarl::ProcessingContext context;
    context.PostMonitorData(record.data(), static_cast<std::uint32_t>(record.size()));
    const auto meters = quarl::decodeMeterRecord(context.latest());
    ASSERT_EQ(meters.size(), 2u);
    EXPECT_EQ(meters[0].values[0], 0.f);
    EXPECT_EQ(meters[1].values[6], 6.5f);
    EXPECT_EQ(context.records().size(), 1u);

    record.pop_back(); // shorter than its count says
    EXPECT_TRUE(quarl::decodeMeterRecord(record).empty());
    EXPECT_TRUE(quarl::decodeMeterRecord({1, 0}).empty());
}
