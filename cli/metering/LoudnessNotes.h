// The words a render's report gives for how a loudness was measured, and the gain that
// brings a measured output to a target, with the note that says what was done.
#pragma once

#include "cli/metering/LevelMeter.h"

#include <string>

// "integrated", "ungated", "below-gate" or "silent".
const char* loudnessBasisName(LoudnessBasis basis);

// The gain in dB taking `output` to `targetLufs`, and in `note` why none was applied or how
// a figure was measured. `input` is the input's levels when matching the input (nullptr
// for a fixed target).
double gainToTarget(double targetLufs, const Levels& output, const Levels* input, std::string& note);
