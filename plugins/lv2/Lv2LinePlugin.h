// Crumlet Line's LV2 descriptors, served from the same binary as the effect's.
#pragma once

#include <lv2/core/lv2.h>

#include <cstdint>

// The line's descriptors from 0 (mono, stereo); null past them.
const LV2_Descriptor* lineDescriptor(std::uint32_t index);
