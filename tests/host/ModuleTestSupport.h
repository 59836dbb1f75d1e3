// Shared by the module's tests: the description file the product ships, and helpers for
// reading parameter blocks.
#pragma once

#include "quarl/PluginDescription.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace crumlet_module_test
{
// resources/OrvexCrumlet.json, read once.
inline const quarl::PluginDescription& shippedDescription()
{
    static const quarl::PluginDescription description = quarl::PluginDescription::load(CRUMLET_DESCRIPTION_SOURCE);
    return description;
}

inline float floatAt(const std::vector<std::uint8_t>& block, std::size_t offset)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(block.at(offset)) |
                               static_cast<std::uint32_t>(block.at(offset + 1)) << 8 |
                               static_cast<std::uint32_t>(block.at(offset + 2)) << 16 |
                               static_cast<std::uint32_t>(block.at(offset + 3)) << 24;
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

inline std::int32_t intAt(const std::vector<std::uint8_t>& block, std::size_t offset)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(block.at(offset)) |
                               static_cast<std::uint32_t>(block.at(offset + 1)) << 8 |
                               static_cast<std::uint32_t>(block.at(offset + 2)) << 16 |
                               static_cast<std::uint32_t>(block.at(offset + 3)) << 24;
    return static_cast<std::int32_t>(bits);
}
} // namespace crumlet_module_test
