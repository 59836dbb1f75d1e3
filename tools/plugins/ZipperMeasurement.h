// How much automation zips in the DAW wrappers: a 1 kHz sine at -6 dBFS through the effect
// as a wrapper runs it (Filters, EQ and the device model on; the noise, distortion, gate and
// lo-fi stages off, whose own products would hide it; `device` the device model), with
// SIMTuning swept from 50 to 200 % over one second the way a DAW automates it: one value per
// host buffer, the value at the buffer's start. The figure is the energy above 4 kHz of the swept second against the
// energy of the 300 Hz to 3.4 kHz band, where the sine is (a Welch spectrum), in dB.
#pragma once

#include <cstdint>

enum class SweepDelivery
{
    Steady, // no sweep: SIMTuning stays at 100 %, the measurement's own floor
    AtOnce, // each buffer's value sent as the host's sound engine sends it
    Ramped, // each buffer's value handed to the wrapper, which ramps it
};

double zipperDb(SweepDelivery delivery, std::uint32_t hostBufferFrames, std::uint32_t sampleRate = 48000, int device = 0);
