#include "params/DeviceCategories.h"

#include "params/DeviceTable.h"

#include <array>

// clang-format off
constexpr DeviceCategory g_deviceCategories[kDeviceCategoryCount] = {
    {"Cell Phones",       {119, 120, 118, 144, 117, 158, 157, 116, 153, 154, 155, 156}},
    {"Containers",        {9, 11, 12, 13, 14, 15, 19, 20, 42, 45, 46}},
    {"Earbuds",           {47, 41, 137, 49, 121, 139, 140, 54}},
    {"Headphones",        {50, 48, 22, 123, 149, 138, 143, 148, 141, 51, 52, 53, 142}},
    {"Radios",            {162, 27, 115, 112, 55, 114, 30, 136, 113, 28, 29}},
    {"Small Electronics", {59, 61, 23, 24, 4, 5, 56, 57, 58, 18, 145, 60, 37, 38}},
    {"Speakers",          {129, 128, 62, 34, 77, 31, 3, 63, 64, 65, 66, 67, 68, 69, 70, 163, 71, 32, 72, 73,
                           74, 75, 76, 130, 33, 0}},
    {"Telephones",        {80, 81, 111, 82, 83, 84, 85, 86, 87, 88, 89, 39, 90, 92, 93, 94, 1, 79, 91, 78, 95,
                           96}},
    {"Televisions",       {159, 147, 161, 146, 160, 122, 40, 97}},
    {"Toys",              {126, 131, 124, 125, 98, 134, 132, 135, 127, 133, 43, 35, 36}},
    {"Vehicles",          {6, 7, 150, 21, 151, 26, 152, 8}},
    {"Wireless",          {99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}},
    {"Other",             {2, 16, 17, 25, 44, 10}},
};
// clang-format on

namespace
{
// Index of the category headed `heading`, or -1.
constexpr int categoryHeaded(const char* heading)
{
    for (std::size_t c = 0; c < kDeviceCategoryCount; ++c)
        if (sameDeviceText(g_deviceCategories[c].heading, heading))
            return static_cast<int>(c);
    return -1;
}

// The first device that the menu does not list exactly once, under the category its row names;
// kDeviceCount when the menu lists something that is not a device; -1 when the menu and the
// rows agree.
constexpr int firstDeviceMisplacedInMenu()
{
    for (const DeviceCategory& category : g_deviceCategories)
        for (const std::uint8_t d : category.devices)
            if (d >= kDeviceCount)
                return static_cast<int>(kDeviceCount);
    for (std::size_t d = 0; d < kDeviceCount; ++d)
    {
        int listed = 0;
        int listedUnder = -1;
        for (std::size_t c = 0; c < kDeviceCategoryCount; ++c)
            for (const std::uint8_t member : g_deviceCategories[c].devices)
                if (member == d)
                {
                    ++listed;
                    listedUnder = static_cast<int>(c);
                }
        if (listed != 1 || listedUnder != categoryHeaded(kDeviceRows[d].category))
            return static_cast<int>(d);
    }
    return -1;
}
static_assert(firstDeviceMisplacedInMenu() == -1,
              "the menu lists every device once, under the category that its row in DeviceTable.h names");

// The category of each device, from its row.
constexpr std::array<std::int8_t, kDeviceCount> kCategoryOfDevice = [] {
    std::array<std::int8_t, kDeviceCount> categories{};
    for (std::size_t d = 0; d < kDeviceCount; ++d)
        categories[d] = static_cast<std::int8_t>(categoryHeaded(kDeviceRows[d].category));
    return categories;
}();
} // namespace

int deviceCategoryOf(int device)
{
    if (device < 0 || static_cast<std::size_t>(device) >= kDeviceCount)
        return -1;
    return kCategoryOfDevice[static_cast<std::size_t>(device)];
}
