// The parameter block as values: every property's value in host order, each in its
// parameter's units (a list's entry index, a switch's 0 or 1), and the 139 bytes that carry
// them, as the host's bank holds them.
#pragma once

#include "params/ParameterTable.h"

#include <array>
#include <cstdint>

using ParameterValues = std::array<float, kParameterCount>;
using ParameterBlock = std::array<std::uint8_t, kParameterBlockSize>;

// The block the values make: each encoded as its host type carries it.
ParameterBlock parameterBlockOf(const ParameterValues& values);

// The values a block carries.
ParameterValues parameterValuesOf(const std::uint8_t (&block)[kParameterBlockSize]);
