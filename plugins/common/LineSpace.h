// The space after the line, as a plugin runs it: the line convolved with a generated space's
// response (space::Space) and mixed with the line itself, both later by the frames the
// convolution holds back, so that a call hands on as many frames as it takes. Made off the
// audio thread (the response comes from a cache the process's lines share); run on it without
// taking memory or locking.
//
// The convolution's first partition holds the host's largest buffer (64 frames at least), so
// that a buffer runs at most one block and the larger partitions' workers have at least a
// buffer's time: live, a block never waits for them (a partition they have not finished is
// left out, and counted). When the host renders faster than real time the blocks wait, and
// the samples are those of space::Space with the same first partition, whatever the threads
// do. A change of mix glides over 20 ms.
#pragma once

#include "plugins/common/LineParameters.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace space
{
class Space;
}

namespace plugins
{

class LineSpace
{
public:
    // For `setup.active()`. Throws what space::Space throws (space::SpaceError for a distance
    // that does not fit in the room; lineSetupOf's distances always fit).
    LineSpace(const LineSpaceSetup& setup, double sampleRate, unsigned channels, std::size_t maxFramesPerCall);
    ~LineSpace();
    LineSpace(const LineSpace&) = delete;
    LineSpace& operator=(const LineSpace&) = delete;

    // Frames the output is later than the input.
    std::size_t latency() const { return m_latency; }
    // Frames the space rings on after its input ends.
    std::size_t tailFrames() const;

    // Audio thread: the space's share from here on, gliding to it.
    void setMix(double percent);
    // Audio thread: whether blocks wait for the convolution's workers (see above).
    void setWaiting(bool waiting);
    // Blocks that went on without a partition the workers had not finished.
    std::uint64_t lateBlocks() const;

    // Audio thread: `frames` interleaved frames (at most maxFramesPerCall) in place.
    void process(float* interleaved, std::size_t frames);

private:
    void setGains(double percent);

    std::unique_ptr<space::Space> m_space;
    unsigned m_channels;
    std::size_t m_latency;
    std::vector<float> m_wet; // the space's frames not yet handed on, interleaved
    std::vector<float> m_dry; // the line's, as many, for the mix
    double m_mix;             // percent, as heard now
    double m_target;
    double m_step = 0.0;      // percent per frame while gliding
    std::size_t m_glideFrames;
    std::size_t m_glideLeft = 0;
    float m_wetGain = 1.f, m_dryGain = 0.f;
};

} // namespace plugins
