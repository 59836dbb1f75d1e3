// The floor a setting makes on its own: the RMS of what a fresh instance of the effect,
// made from the same parameter block, plays from silence once it has settled (the noise
// generator's hiss, a stage's own hum). A render's end at this level is no tail.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#include <cstdint>
#include <vector>

namespace quarl
{
// 0 when the effect could not be made or plays nothing from silence.
double silenceFloorRms(const ZQ::Quarl::PluginRegistration& effect, const std::vector<std::uint8_t>& block,
                       const ZQ::Quarl::AudioFormat& format, std::uint32_t blockFrames);

// Settling first, then measuring, in seconds of silence.
constexpr double kFloorSettleSeconds = 1.0;
constexpr double kFloorMeasureSeconds = 1.0;
} // namespace quarl
