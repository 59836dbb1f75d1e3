// The LV2 plugin's ports, the one list that both the plugin and its Turtle description
// follow: the forty parameters as control inputs in host order, the audio ports, then the
// meters as control outputs.
#pragma once

#include "params/ParameterTable.h"

#include <cstdint>

namespace lv2port
{
// Two plugins in one bundle: mono and stereo.
struct Variant
{
    const char* uri;
    const char* name;
    std::uint32_t channels;
};
constexpr Variant kVariants[] = {
    {"urn:orvex:crumlet:mono", "Crumlet (mono)", 1},
    {"urn:orvex:crumlet:stereo", "Crumlet", 2},
};

constexpr std::uint32_t kFirstControl = 0;
constexpr std::uint32_t kFirstAudio = kFirstControl + kParameterCount;

struct Meter
{
    const char* symbol;
    const char* name;
};
// Linear values: peaks of the last buffer (1 is full scale) and the smallest gains (1 is none).
constexpr Meter kMeters[] = {
    {"meter_in", "Input peak"},
    {"meter_out", "Output peak"},
    {"noise_ducking", "Noise ducking gain"},
    {"gate_gain", "Gate gain"},
};
constexpr std::uint32_t kMeterCount = 4;

constexpr std::uint32_t firstMeter(std::uint32_t channels)
{
    return kFirstAudio + 2 * channels;
}

constexpr std::uint32_t portCount(std::uint32_t channels)
{
    return firstMeter(channels) + kMeterCount;
}
} // namespace lv2port
