// Value texts of the seven list parameters, in value order.
#pragma once

#include "params/DeviceTable.h"
#include "params/ParameterId.h"

#include <string>
#include <vector>

// The value list of a parameter: entry i names value i. Empty for a parameter without one.
std::vector<std::string> valueListOf(ParameterId id);

// Index of `text` in the value list of `id` (exact match first, then ignoring case), or -1.
int findValueText(ParameterId id, const std::string& text);
