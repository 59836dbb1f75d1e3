// One transmission as a plugin runs it: made (and its latency measured) off the audio thread,
// then run on it without taking memory, locking or waiting. The output is the input
// transmitted, delayed by exactly latency() frames: the transmission hands its frames out a
// little after they go in, and a delay line evens that out to a constant.
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

class LineEngine
{
public:
    // `latency` is measureLatency's for the setup's codec. Throws what the transmission
    // throws (a codec that cannot be made).
    LineEngine(const LineSetup& setup, double sampleRate, unsigned channels, std::size_t maxFramesPerCall,
               std::size_t latency);
    ~LineEngine();
    LineEngine(const LineEngine&) = delete;
    LineEngine& operator=(const LineEngine&) = delete;

    // The most frames the transmission holds back after any call, for these settings: what
    // the delay line must make up. Found by running a codec-only line on silence in calls of
    // several sizes (the frames come out the same whatever the signal, loss or radio).
    static std::size_t measureLatency(const transmission::CodecSettings& codec, double sampleRate,
                                      std::size_t maxFramesPerCall);

    // The silence a new line is run on before its first buffer: one call, so long that every
    // buffer inside (the resamplers' own included) has grown to the most later calls need. The
    // output is the transmission of this silence followed by the input.
    static std::size_t warmUpFrames(double sampleRate, std::size_t maxFramesPerCall);

    // Whether a line made with `made` can take `wanted` as it runs: the same codec, seed and
    // radio (on or off, its static's colour, its keying); the loss and the radio's levels and
    // times may differ.
    static bool follows(const LineSetup& made, const LineSetup& wanted);
    static bool sameCodec(const transmission::CodecSettings& a, const transmission::CodecSettings& b);

    std::size_t latency() const { return m_latency; }
    unsigned channels() const { return m_channels; }
    const LineSetup& setup() const { return m_setup; }

    // Audio thread: the loss and the radio's levels and times of `setup`, from the next frame
    // (for a setup this line follows).
    void follow(const LineSetup& setup);

    // Audio thread: `frames` frames in place, any number (split into calls of the size given).
    void process(float* const* channels, std::size_t frames);
    // Frames the transmission was late with beyond latency() (played as silence and dropped
    // when they come, so the rest stays in time): none when the latency is right.
    std::uint64_t shortfalls() const { return m_shortfalls; }

private:
    void processPart(float* const* channels, std::size_t offset, std::size_t frames);

    LineSetup m_setup;
    std::unique_ptr<transmission::Transmission> m_transmission;
    unsigned m_channels;
    std::size_t m_maxFrames;
    std::size_t m_latency;
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
