// The meter record the processor posts after each buffer: a channel count, then the same
// seven values for every channel.
#pragma once

#include <cstdint>

// Meter values per channel in the posted record, in record order.
enum MeterSlot
{
    kMeterInput = 0,     // after the input gain
    kMeterOutput = 1,    // final output
    kMeterPreNoise = 2,  // after Filters, Distortion and EQ
    kMeterNoise = 3,     // largest filtered-noise magnitude
    kMeterDucking = 4,   // smallest noise ducking gain
    kMeterPreGate = 5,   // after Noise and SIM
    kMeterGateGain = 6,  // smallest gate gain
    kMetersPerChannel = 7,
};

// A channel's meter values before the buffer runs; a stage that is off leaves its own
// meters so: no noise, no ducking, the gate open.
constexpr float kMeterStartValues[kMetersPerChannel] = {0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 1.f};

constexpr std::uint32_t kMeterRecordHeaderBytes = 4;
constexpr std::uint32_t kMeterBytesPerChannel = kMetersPerChannel * 4;
