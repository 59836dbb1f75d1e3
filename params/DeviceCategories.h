// The SIM browser's categories: the headings in menu order, each with its devices (SIMType
// values, which index the device names) in menu order. Every device is in exactly one category.
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

// Index into g_deviceCategories of the category holding `device`, or -1 for a value that is
// not a device.
int deviceCategoryOf(int device);
