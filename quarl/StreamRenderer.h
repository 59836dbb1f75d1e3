// Runs an effect over a stream the way the host's sound engine does: full buffers while
// input lasts, the last one marked as the end of input, then empty buffers for as long
// as the effect reports more data (its tail). Asked to, it then plays on with silence for
// as long as the output still rings (see RingOutWatch).
//
// The input is either pulled from a source (run) or pushed as it arrives (begin, feed,
// finish); both play the same buffers, so a stream fed in pieces of any size renders
// exactly as the same stream pulled.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "quarl/AudioBufferStorage.h"
#include "quarl/RingOutWatch.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace quarl
{
struct RenderResult
{
    ZQ::Quarl::Result status = ZQ::Quarl::Success; // the first error state an effect reported
    std::uint64_t inputFrames = 0;
    std::uint64_t outputFrames = 0;
    std::uint64_t buffers = 0;
    std::uint64_t effectTailFrames = 0; // after the input, up to the end of the effect's own tail
    std::uint64_t ringOutFrames = 0;    // played on after that, silence in
    TailEnd tailEnd = TailEnd::NotWatched;
    float renderPeak = 0.f; // linear; 0 when not watched
    float endPeak = 0.f;    // of the output's last stretch, linear; 0 when not watched
};

// Playing on after the effect's tail: the limits, and the RMS the settings make from
// silence (asked for at most once, only when the end is not quiet; empty: no floor).
struct RingOut
{
    std::uint32_t sampleRate = 0;
    RingOutLimits limits;
    std::function<double()> floorRms;
};

class StreamRenderer
{
public:
    // Fills up to `frames` interleaved frames; returns how many (0 at the end).
    using Source = std::function<std::uint32_t(float* interleaved, std::uint32_t frames)>;
    // Takes `frames` interleaved frames of output; false stops the render.
    using Sink = std::function<bool(const float* interleaved, std::uint32_t frames)>;
    // Called before each buffer; answers false to stop.
    using BeforeBuffer = std::function<bool(std::uint64_t bufferIndex)>;

    StreamRenderer(ZQ::Quarl::IEffectPlugin& effect, std::uint32_t channels, std::uint32_t blockFrames);

    RenderResult run(const Source& source, const Sink& sink, const BeforeBuffer& beforeBuffer = {});

    // A stream pushed piece by piece: begin, feed every piece, finish. A full buffer is
    // played once more input is known to follow it; the rest waits for the next piece or
    // for finish, which plays the last buffer (marked as the end of input), the tail and
    // the playing on. feed answers false once the sink or beforeBuffer stopped the render
    // (what is fed after that is ignored).
    void begin(const BeforeBuffer& beforeBuffer = {});
    bool feed(const float* interleaved, std::uint32_t frames, const Sink& sink);
    RenderResult finish(const Sink& sink);

    // Input frames fed and not yet played (at most one buffer's).
    std::uint32_t pendingFrames() const { return m_currentFrames; }

    // From the next run on, play on after the effect's tail while the output rings.
    void playOnWhileRinging(RingOut ringOut);

    // Upper bound on the empty buffers played after the input, against a tail that never ends.
    static constexpr std::uint64_t kMaxTailBuffers = 1u << 20;

private:
    // Where the next input frames go: after those of the buffer being filled, or at the
    // start of the following one when it is full. The room there, in frames.
    float* inputSpace(std::uint32_t& room);
    // Takes `frames` written at inputSpace(); plays the full buffer they follow.
    bool accept(std::uint32_t frames, const Sink& sink);
    // Plays the buffer as it stands and hands on at most `keep` of its frames; the first
    // `programme` of them still carry the input.
    bool play(std::uint32_t programme, std::uint32_t keep, const Sink& sink);
    void playOn(const Sink& sink);

    ZQ::Quarl::IEffectPlugin& m_effect;
    std::uint32_t m_channels;
    std::uint32_t m_blockFrames;
    AudioBufferStorage m_storage;
    std::vector<float> m_current, m_next, m_out;
    std::optional<RingOut> m_ringOut;
    // The stream in hand.
    std::uint32_t m_currentFrames = 0; // input frames in m_current
    bool m_stopped = false;
    BeforeBuffer m_beforeBuffer;
    RenderResult m_result;
    std::optional<RingOutWatch> m_watch;
};
} // namespace quarl
