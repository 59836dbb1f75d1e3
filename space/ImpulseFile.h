// The user's own impulse response from a file (WAV, FLAC, AIFF and what else libsndfile
// reads): one or two channels, resampled to the render's rate with libsoxr, used as it is
// or, asked to, scaled to unit energy (the channels' mean).
#pragma once

#include "space/ImpulseResponse.h"

#include <string>

namespace space
{

// The longest impulse response a file may hold, seconds.
constexpr double kLongestImpulseSeconds = 30.0;

// Throws SpaceError, naming the file, for one that cannot be read, is empty, holds a sample
// that is not finite or only silence, is longer than 30 s, or has more than two channels.
ImpulseResponse loadImpulseFile(const std::string& path, double sampleRate, bool normalize);

} // namespace space
