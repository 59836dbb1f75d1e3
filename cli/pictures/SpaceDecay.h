// How a generated space's sound dies away, as room acoustics measures it: its impulse response
// at the listener's two ears, in each octave band from 125 Hz to 8 kHz (space/DecayAnalysis.h),
// the ears' energy together integrated backwards (Schroeder's energy decay curve), and the
// reverberation time read from each band's curve between -5 and -35 dB (T30).
#pragma once

#include "space/SpaceCatalogue.h"

#include <optional>
#include <vector>

struct BandDecay
{
    double centreHz;
    std::vector<double> db; // the energy decay curve, dB against the whole energy, one value a step
    double t30;             // seconds, from the curve at the full rate; NaN when it does not fall 35 dB
};

struct SpaceDecay
{
    double stepSeconds;         // time between the curves' values, the first at the sound's start
    std::vector<BandDecay> bands;
    double statedRt60;          // what the space states, seconds
    double distance;            // source to listener, metres
    double directSeconds;       // when the direct sound arrives
    double sampleRate;
};

// `distance` moves the listener as --space's distance= does (the space's own place when
// absent); throws space::SpaceError when that leaves the room.
SpaceDecay spaceDecay(const space::RoomDescription& room, std::optional<double> distance, double sampleRate = 48000.0,
                      double stepSeconds = 0.001);
