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

// How far a gained output may miss its target before it is corrected (LU).
constexpr double kLoudnessLandingLu = 0.05;

// One gain scales every gating block alike, but blocks that it moves across the -70 LUFS
// absolute gate join or leave the measurement (and move the relative gate with them), so the
// gained output can miss the target. Given the gained output's own levels, the further gain
// in dB that brings it to `targetLufs` when it misses by more than kLoudnessLandingLu, with
// the note that says so; 0 otherwise.
double landingCorrection(double targetLufs, const Levels& gained, std::string& note);
