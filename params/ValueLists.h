// Value texts of the seven list parameters, in value order.
#pragma once

#include "params/ParameterId.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kDeviceCount = 164;

extern const std::array<const char*, kDeviceCount> g_deviceNames;

// The value list of a parameter: entry i names value i. Empty for a parameter without one.
std::vector<std::string> valueListOf(ParameterId id);

// Index of `text` in the value list of `id` (exact match first, then ignoring case), or -1.
int findValueText(ParameterId id, const std::string& text);
