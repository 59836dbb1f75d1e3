// One transmission as a plugin runs it: made (and its latency measured) off the audio thread,
// then run on it without taking memory, locking or waiting. The output is the input
// transmitted, delayed by exactly latency() frames: the transmission hands its frames out a
// little after they go in, and a delay line evens that out to a constant. With a space, the
// line is then heard in it (LineSpace), as the render hears it after the transmission; its
// latency adds to the transmission's.
#pragma once

#include "plugins/common/LineParameters.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace transmission
{
class Transmission;
}

namespace plugins
{

class LineSpace;

class LineEngine
{
public:
    // `latency` is measureLatency's for the setup's codec. Throws what the transmission
    // throws (a codec that cannot be made) and what the space throws.
    LineEngine(const LineSetup& setup, double sampleRate, unsigned channels, std::size_t maxFramesPerCall,
               std::size_t latency);
    ~LineEngine();
    LineEngine(const LineEngine&) = delete;
    LineEngine& operator=(const LineEngine&) = delete;

    // The most frames the transmission holds back after any call, for these settings: what
    // the delay line must make up (the frames come out the same whatever the signal, loss or
    // radio, and whatever the calls' sizes).
    static std::size_t measureLatency(const transmission::CodecSettings& codec, double sampleRate);

    // The silence a new line is run on before its first buffer: one call, so long that every
    // buffer inside (the resamplers' own included) has grown to the most later calls need. The
    // output is the transmission of this silence followed by the input.
    static std::size_t warmUpFrames(double sampleRate, std::size_t maxFramesPerCall);

    // Whether a line made with `made` can take `wanted` as it runs: the same codec, seed,
    // radio (on or off, its static's colour, its keying) and space (the room and distance);
    // the loss, the radio's levels and times and the space's mix may differ.
    static bool follows(const LineSetup& made, const LineSetup& wanted);
    static bool sameCodec(const transmission::CodecSettings& a, const transmission::CodecSettings& b);

    // The transmission's latency and the space's.
    std::size_t latency() const;
    unsigned channels() const { return m_channels; }
    const LineSetup& setup() const { return m_setup; }
    // Frames the space rings on after the input ends (none without one).
    std::size_t spaceTailFrames() const;

    // Audio thread: the loss, the radio's levels and times and the space's mix of `setup`,
    // from the next frame (for a setup this line follows).
    void follow(const LineSetup& setup);
    // Audio thread: whether the space waits for its convolution's workers (LineSpace).
    void setWaiting(bool waiting);
    // Blocks of the space that went on without a late partition.
    std::uint64_t lateBlocks() const;

    // Audio thread: `frames` frames in place, any number (split into calls of the size given).
    void process(float* const* channels, std::size_t frames);
    // Frames the transmission was late with beyond latency() (played as silence and dropped
    // when they come, so the rest stays in time): none when the latency is right.
    std::uint64_t shortfalls() const { return m_shortfalls; }

private:
    // Channels' frames into m_interleaved.
    void interleave(float* const* channels, std::size_t offset, std::size_t frames);
    void processPart(float* const* channels, std::size_t offset, std::size_t frames);

    LineSetup m_setup;
    std::unique_ptr<transmission::Transmission> m_transmission;
    std::unique_ptr<LineSpace> m_space; // null without a space
    unsigned m_channels;
    std::size_t m_maxFrames;
    std::size_t m_latency; // the transmission's
    std::vector<float> m_interleaved;
    std::vector<float> m_out;
    // The delay line, interleaved, as a ring.
    std::vector<float> m_ring;
    std::size_t m_ringFrames;
    std::size_t m_read = 0, m_held = 0;
    std::uint64_t m_shortfalls = 0;
    std::uint64_t m_owed = 0; // frames played as silence, to drop when they arrive
};

} // namespace plugins
