// The SIM browser's categories: the headings in menu order, each with its devices (SIMType
// values) in menu order. The category that holds a device is the one its row names
// (params/DeviceTable.h); this table adds the menu order, and the build checks that it lists
// every device exactly once, under that category.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

constexpr std::size_t kDeviceCategoryCount = 13;

struct DeviceCategory
{
    const char* heading;
    std::initializer_list<std::uint8_t> devices; // SIMType values, in menu order
};

extern const DeviceCategory g_deviceCategories[kDeviceCategoryCount];

// Index into g_deviceCategories of the category that `device`'s row names, or -1 for a value
// that is not a device.
int deviceCategoryOf(int device);
