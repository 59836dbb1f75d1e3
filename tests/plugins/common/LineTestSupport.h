// What Crumlet Line's tests share: parameter values for a codec's settings text and a space's
// name, speech to play, an engine run in buffers, and the transmission rendered in one go.
#pragma once

#include "plugins/common/LineEngine.h"
#include "plugins/common/LineParameters.h"

#include <cstddef>
#include <string>
#include <vector>

namespace line_test
{

// The parameter values that choose a codec by its settings text ("amr:7.4", "opus:12k").
plugins::LineValues valuesFor(const std::string& codecText);
// Whether this build has the codec a settings text names.
bool available(const std::string& codecText);
// The space parameter's value for a generated space's name.
float spaceValue(const std::string& room);

// Speech, a few seconds, at `rate`, in both channels of a stereo pair (the right one quieter).
std::vector<std::vector<float>> stereoSpeech(double rate, double seconds);

// Runs channels through an engine in calls of `block` frames.
std::vector<std::vector<float>> runEngine(plugins::LineEngine& engine, std::vector<std::vector<float>> x, std::size_t block);

// The transmission of the same channels in one go (aligned: no delay), after the silence a
// plugin's line warms up on, with the plugin's resampling in small blocks.
std::vector<std::vector<float>> renderOffline(const plugins::LineSetup& setup, double rate, const std::vector<std::vector<float>>& x,
                                              std::size_t warmUp);

} // namespace line_test
