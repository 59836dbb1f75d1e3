// The effect's identity in the host: the same pair in the registration record, in the
// host's description of the authoring plugin and in the sound banks.
#pragma once

#include <cstdint>

constexpr std::uint32_t kOrvexCompanyId = 0x4F52; // "OR"
constexpr std::uint32_t kCrumletPluginId = 0x0143;
