// What a room's description says about its sound, by the diffuse-field theory: the
// reverberation time per octave band by Eyring's formula (with the air's absorption), and how
// strong the reverberant sound is against the direct sound.
#pragma once

#include "space/OctaveBands.h"
#include "space/SpaceCatalogue.h"

namespace space
{

// The air's absorption per metre of path (intensity; 20 degrees C, 50 % humidity).
extern const BandValues kAirAbsorption;

double roomVolume(const RoomSize& size);
double surfaceArea(const RoomSize& size, Surface surface);
// The sound's speed, metres per second.
constexpr double kSpeedOfSound = 343.0;

// Seconds for the sound to fall by 60 dB, per octave band: T = 0.161 V / (-S ln(1 - a) + 4 m V)
// with a the surfaces' mean absorption and m the air's.
BandValues reverberationTimes(const RoomDescription& room);
// The reverberation time a space states: the mean of its 500 Hz and 1 kHz bands.
double statedRt60(const RoomDescription& room);
// The energy of the reverberant sound per band, against that of the direct sound from 1 m:
// 16 pi / R, R = A / (1 - a) the room constant with A Eyring's absorption area.
BandValues reverberantEnergy(const RoomDescription& room);
// The wall's sound reduction per band by the mass law, as an amplitude factor (1 without a
// wall): R = 20 log10(m f) - 47 dB for a wall of m kg/m^2.
BandValues wallTransmission(const RoomDescription& room);

} // namespace space
