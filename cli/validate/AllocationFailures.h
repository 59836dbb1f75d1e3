// Allocation failure at every allocation site in turn: the effect is made and played
// through a script that switches stages off and on, first to count the host allocator's
// requests, then once per request with that one failing.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <cstdint>
#include <string>

struct AllocationFailureReport
{
    std::string failure; // empty when every site behaved
    std::uint64_t sites = 0;
};

// Each failure must show as the insufficient-memory code once, with no crash and nothing
// leaked, and the effect must run with every stage again once memory returns.
AllocationFailureReport checkAllocationFailures(const ZQ::Quarl::PluginRegistration& effect, std::uint32_t sampleRate,
                                                std::uint32_t channels);
