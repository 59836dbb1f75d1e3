// The device rows: every device agrees with its row in each table keyed by it, and the order
// check that those tables compile against finds the row that is out of place.
#include "engine/sim/SimModel.h"
#include "params/DeviceCategories.h"
#include "params/DeviceTable.h"
#include "params/ParameterTable.h"
#include "params/ValueLists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace
{
struct NamedRow
{
    const char* name;
};

template <std::size_t N>
void copyNames(NamedRow (&rows)[N])
{
    for (std::size_t k = 0; k < N && k < kDeviceCount; ++k)
        rows[k].name = kDeviceRows[k].name;
}

bool listedUnder(const DeviceCategory& category, std::size_t device)
{
    return std::count(category.devices.begin(), category.devices.end(), device) == 1;
}
} // namespace

TEST(DeviceTable, EveryDeviceAgreesWithItsRowInEachTable)
{
    const std::vector<std::string> valueTexts = valueListOf(ParamId::SIMType);
    ASSERT_EQ(valueTexts.size(), kDeviceCount);
    for (std::size_t k = 0; k < kDeviceCount; ++k)
    {
        const DeviceRow& row = kDeviceRows[k];
        SCOPED_TRACE(std::to_string(k) + " " + row.name);
        EXPECT_EQ(valueTexts[k], row.name);
        EXPECT_STREQ(g_simModels[k].name, row.name);
        const int category = deviceCategoryOf(static_cast<int>(k));
        ASSERT_GE(category, 0);
        EXPECT_STREQ(g_deviceCategories[category].heading, row.category);
        EXPECT_TRUE(listedUnder(g_deviceCategories[category], k));
    }
    EXPECT_EQ(valueTexts.front(), "Vintage Box Speaker");
    EXPECT_EQ(valueTexts[99], "Analog Baby Monitor");
    EXPECT_EQ(valueTexts.back(), "Cylinder Speakers Bass");
}

TEST(DeviceTable, SimTypeRangeSpansTheRows)
{
    const ParameterDefinition* simType = findParameter(ParamId::SIMType);
    ASSERT_NE(simType, nullptr);
    EXPECT_EQ(simType->minValue, 0.0f);
    EXPECT_EQ(simType->maxValue, static_cast<float>(kDeviceCount - 1));
    EXPECT_EQ(simType->steps, static_cast<std::int32_t>(kDeviceCount));
}

TEST(DeviceTable, OrderCheckFindsTheFirstRowOutOfPlace)
{
    NamedRow rows[kDeviceCount];
    copyNames(rows);
    EXPECT_EQ(firstRowOutOfDeviceOrder(rows), -1);

    std::swap(rows[40], rows[41]);
    EXPECT_EQ(firstRowOutOfDeviceOrder(rows), 40) << "two devices swapped";
    std::swap(rows[40], rows[41]);

    rows[0].name = "Vintage Box";
    EXPECT_EQ(firstRowOutOfDeviceOrder(rows), 0) << "a name cut short";
    rows[0].name = "Vintage Box Speakers";
    EXPECT_EQ(firstRowOutOfDeviceOrder(rows), 0) << "a name run on";
    rows[0].name = kDeviceRows[0].name;
    rows[7].name = nullptr;
    EXPECT_EQ(firstRowOutOfDeviceOrder(rows), 7) << "a row without a name";

    NamedRow shorter[kDeviceCount - 1];
    copyNames(shorter);
    EXPECT_EQ(firstRowOutOfDeviceOrder(shorter), static_cast<int>(kDeviceCount - 1)) << "the last row missing";
    NamedRow longer[kDeviceCount + 1];
    copyNames(longer);
    longer[kDeviceCount].name = "Extra Device";
    EXPECT_EQ(firstRowOutOfDeviceOrder(longer), static_cast<int>(kDeviceCount)) << "a row past the last device";
}
