// Monitor data from the sound engine to the authoring side: a meter record posted by an
// effect, handed to the plugin object (its operation 24) as the data of one monitor
// entry, as the host delivers it.
#pragma once

#include "ZQ/QuarlPlugin.h"

#include <cstdint>
#include <vector>

namespace quarl
{
// Delivers `record` as one entry; `byteSwap` tells the reader that the record is in the
// other byte order. Nothing is delivered for an empty record.
void deliverMonitorData(ZQ::Quarl::IAudioPlugin& plugin, const std::vector<std::uint8_t>& record,
                        bool byteSwap = false, std::uintptr_t sourceId = 0);

// The record with every 32-bit word byte-reversed: what a platform of the other byte order posts.
std::vector<std::uint8_t> byteSwapped(const std::vector<std::uint8_t>& record);
} // namespace quarl
