// The octave bands a room is described in, 125 Hz to 8 kHz, and a value per band.
#pragma once

#include <array>
#include <cstddef>

namespace space
{

constexpr std::size_t kBandCount = 7;
constexpr std::array<double, kBandCount> kBandCentres = {125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0, 8000.0};
// The bands whose mean reverberation time a space states.
constexpr std::size_t kBand500 = 2;
constexpr std::size_t kBand1000 = 3;

using BandValues = std::array<double, kBandCount>;

} // namespace space
