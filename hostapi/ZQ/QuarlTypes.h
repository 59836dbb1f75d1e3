// Codes and scalar types shared by every Quarl host interface.
#pragma once

#include <cstdint>

namespace ZQ::Quarl
{
using Result = std::int32_t;

constexpr Result Success = 1;
constexpr Result NoMoreData = 17;       // buffer state: the input has ended
constexpr Result InvalidParameter = 31;
constexpr Result DataReady = 45;        // buffer state: more output follows (a tail)
constexpr Result InsufficientMemory = 52;

using PluginParamId = std::int32_t;

enum class PluginType : std::uint32_t
{
    None = 0,
    Codec = 1,
    Source = 2,
    Effect = 3,
};
} // namespace ZQ::Quarl
