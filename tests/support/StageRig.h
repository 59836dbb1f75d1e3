// A stage with its per-channel memory taken from the stand-in host's allocator, run on
// buffers as the processor runs it.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/EngineParams.h"
#include "engine/stages/Stage.h"
#include "quarl/HostAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace crumlet_test
{
template <typename Stage>
struct StageRig
{
    explicit StageRig(unsigned channels = 1) : channels(channels)
    {
        EXPECT_TRUE(stage.allocate(&allocator, channels));
    }
    ~StageRig() { stage.release(&allocator); }
    StageRig(const StageRig&) = delete;
    StageRig& operator=(const StageRig&) = delete;

    // Runs one buffer: data[c] is channel c's `frames` samples, one per channel of the rig.
    void process(float* const* data, unsigned frames)
    {
        std::vector<float> scratch(Stage::scratchFloats(static_cast<std::size_t>(frames) * channels));
        stage.processChannels(ChannelBlock{data, channels, frames, scratch.empty() ? nullptr : scratch.data()});
    }
    // A one-channel rig's buffer.
    void process(float* mono, unsigned frames) { process(&mono, frames); }

    quarl::HostAllocator allocator;
    Stage stage;
    const unsigned channels;
};

// The defaults of every parameter group.
inline const EngineParams& defaultParams()
{
    static const EngineParams p;
    return p;
}

// A loaded section holds exactly the single-precision form of its design.
inline void expectLoaded(const BiquadCoefs& design, const BiquadSection& s)
{
    EXPECT_EQ(s.b0, static_cast<float>(design.b0));
    EXPECT_EQ(s.b1, static_cast<float>(design.b1));
    EXPECT_EQ(s.b2, static_cast<float>(design.b2));
    EXPECT_EQ(s.a1, static_cast<float>(design.a1));
    EXPECT_EQ(s.a2, static_cast<float>(design.a2));
}

// Amplitude of a settled sine, sqrt(2) times its RMS over the last quarter of the block
// (a whole number of periods for the tones used here).
inline double settledAmplitude(const float* data, unsigned frames)
{
    double sum = 0.0;
    for (unsigned i = frames - frames / 4; i < frames; ++i)
        sum += static_cast<double>(data[i]) * data[i];
    return std::sqrt(2.0 * sum / (frames / 4));
}

inline BiquadSection asLoaded(const BiquadCoefs& c)
{
    BiquadSection s;
    s.load(c);
    return s;
}
} // namespace crumlet_test
