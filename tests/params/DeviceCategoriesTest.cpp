// The SIM browser's categories: headings, membership and menu order.
#include "params/DeviceCategories.h"
#include "params/ValueLists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<int> menuOrder()
{
    std::vector<int> order;
    for (const auto& c : g_deviceCategories)
        for (const int d : c.devices)
            order.push_back(d);
    return order;
}
} // namespace

TEST(DeviceCategories, HeadingsAndSizesInMenuOrder)
{
    const std::vector<std::string> headings = {"Cell Phones", "Containers",  "Earbuds",    "Headphones", "Radios",
                                               "Small Electronics", "Speakers", "Telephones", "Televisions", "Toys",
                                               "Vehicles",    "Wireless",    "Other"};
    const std::vector<std::size_t> sizes = {12, 11, 8, 13, 11, 14, 26, 22, 8, 13, 8, 12, 6};
    ASSERT_EQ(headings.size(), kDeviceCategoryCount);
    for (std::size_t c = 0; c < kDeviceCategoryCount; ++c)
    {
        EXPECT_EQ(g_deviceCategories[c].heading, headings[c]);
        EXPECT_EQ(g_deviceCategories[c].devices.size(), sizes[c]) << headings[c];
    }
}

TEST(DeviceCategories, EveryDeviceExactlyOnce)
{
    const std::vector<int> order = menuOrder();
    ASSERT_EQ(order.size(), kDeviceCount);
    std::vector<int> seen(kDeviceCount, 0);
    for (const int d : order)
    {
        ASSERT_GE(d, 0);
        ASSERT_LT(d, static_cast<int>(kDeviceCount));
        ++seen[d];
    }
    for (std::size_t d = 0; d < kDeviceCount; ++d)
        EXPECT_EQ(seen[d], 1) << "device " << d;
}

TEST(DeviceCategories, MenuPositions)
{
    const std::vector<int> order = menuOrder();
    EXPECT_EQ(order.front(), 119);
    EXPECT_EQ(order[94], 0);
    EXPECT_EQ(order.back(), 10);
    // Not alphabetical everywhere: the table decides.
    EXPECT_EQ(order[56], 61);
    EXPECT_EQ(order[69], 129);
    EXPECT_EQ(order[70], 128);
    EXPECT_EQ(order[53], 28);
    EXPECT_EQ(order[54], 29);
}

TEST(DeviceCategories, CategoryOfADevice)
{
    EXPECT_EQ(deviceCategoryOf(0), 6);   // Speakers
    EXPECT_EQ(deviceCategoryOf(1), 7);   // Telephones
    EXPECT_EQ(deviceCategoryOf(119), 0); // Cell Phones
    EXPECT_EQ(deviceCategoryOf(10), 12); // Other
    EXPECT_EQ(deviceCategoryOf(73), 6);
    EXPECT_EQ(deviceCategoryOf(-1), -1);
    EXPECT_EQ(deviceCategoryOf(static_cast<int>(kDeviceCount)), -1);
    EXPECT_EQ(deviceCategoryOf(255), -1);
}
