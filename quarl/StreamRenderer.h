// Runs an effect over a stream the way the host's sound engine does: full buffers while
// input lasts, the last one marked as the end of input, then empty buffers for as long
// as the effect reports more data (its tail). Asked to, it then plays on with silence for
// as long as the output still rings (see RingOutWatch).
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

    // From the next run on, play on after the effect's tail while the output rings.
    void playOnWhileRinging(RingOut ringOut);

    // Upper bound on the empty buffers played after the input, against a tail that never ends.
    static constexpr std::uint64_t kMaxTailBuffers = 1u << 20;

private:
    std::uint32_t readFull(const Source& source, float* into);
    void playOn(RingOutWatch& watch, RenderResult& result,
                const std::function<bool(std::uint32_t, std::uint32_t)>& play);

    ZQ::Quarl::IEffectPlugin& m_effect;
    std::uint32_t m_channels;
    std::uint32_t m_blockFrames;
    AudioBufferStorage m_storage;
    std::vector<float> m_current, m_next, m_out;
    std::optional<RingOut> m_ringOut;
};
} // namespace quarl
