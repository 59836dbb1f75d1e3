// The one run of the effect from source samples to what the listener hears, as every surface
// renders it (`crumlet render`, the Python module, the preset measurements, the editor's live
// playback, the Windows tool): the host's allocator and processing context, the effect made
// through the module's registration record from a parameter block, the host's stream runner
// in buffers of the run's size, the playing on after the effect's tail while the output still
// rings, then the transmission and the space the listener hears it in. Whole (run, render) or pushed piece by piece (feed, finish), a
// stream renders the same samples for the same input and settings.
//
// Metering hooks are the caller's: the source sees the input, the sink the output.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "pipeline/SpaceReport.h"
#include "pipeline/TransmissionReport.h"
#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"
#include "quarl/StreamRenderer.h"
#include "space/SpaceSettings.h"
#include "transmission/TransmissionSettings.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pipeline
{
class SpaceStep;
class TransmissionStep;

// The host's buffer size unless one is asked for, and the largest one a run takes, in frames.
constexpr std::uint32_t kDefaultBlockFrames = 512;
constexpr std::uint32_t kMaxBlockFrames = 65536;

// What a run is made from, besides the stream's rate and channels.
struct RunSettings
{
    std::vector<std::uint8_t> block; // the parameter block the host's bank holds
    std::uint32_t blockFrames = kDefaultBlockFrames;
    transmission::TransmissionSettings transmission{}; // after the effect; inactive: none
    std::uint64_t seed = 0;          // the transmission's draws (frames lost, static)
    space::SpaceSettings space{};    // where the listener hears it, after the transmission; none
    bool ringOut = true;             // play on, silence in, while the output still rings
    // Played buffer by buffer as they come (playLive), never ending: what that takes is made
    // up front, so that no buffer allocates.
    bool live = false;
};

struct RunResult
{
    quarl::RenderResult effect; // the effect's frames, tail and status
    TransmissionReport transmission;
    SpaceReport space;
    bool stopped = false; // the sink or beforeBuffer stopped it before its end

    bool succeeded() const { return effect.status == ZQ::Quarl::Success; }
    // "the effect stopped with host code N", or empty when it succeeded.
    std::string failure() const;
};

// The effect could not be set up, or stopped with an error code.
struct RunError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

class EffectRun
{
public:
    using Source = quarl::StreamRenderer::Source;
    using Sink = quarl::StreamRenderer::Sink;
    using BeforeBuffer = quarl::StreamRenderer::BeforeBuffer;

    // Throws RunError when the effect cannot be set up, transmission::SettingsError when the
    // build cannot transmit as asked, space::SpaceError for a space that cannot be made.
    EffectRun(const ZQ::Quarl::PluginRegistration& effect, RunSettings settings, std::uint32_t sampleRate,
              std::uint32_t channels);
    ~EffectRun();
    EffectRun(const EffectRun&) = delete;
    EffectRun& operator=(const EffectRun&) = delete;

    // The whole stream pulled from `source`. The transmission's last frames follow only a
    // run that succeeded and was not stopped.
    RunResult run(const Source& source, const Sink& sink, const BeforeBuffer& beforeBuffer = {});

    // The whole of `frames` interleaved frames, tail included; throws RunError when the
    // effect stops with an error. beforeBuffer may stop it (the output so far is returned).
    std::vector<float> render(const float* interleaved, std::uint64_t frames, const BeforeBuffer& beforeBuffer = {});

    // A stream pushed as it arrives: feed appends the output of every buffer known not to be
    // the last; finish appends the rest (the last buffer, the tail, the playing on, the
    // transmission's last frames) and ends the stream. Both throw RunError when the effect
    // stops with an error.
    void feed(const float* interleaved, std::uint64_t frames, std::vector<float>& out);
    void finish(std::vector<float>& out);
    // The same, the output handed to `sink`, which takes all of it.
    void feed(const float* interleaved, std::uint64_t frames, const Sink& sink);
    void finish(const Sink& sink);

    // One buffer that does not end the stream, straight through the effect, for a run made
    // live (no tail, no transmission). At most blockFrames frames.
    void playLive(const float* interleaved, float* out, std::uint32_t frames);

    // New settings, reaching the effect at its next buffer (as the host's updates do).
    void update(const std::vector<std::uint8_t>& block);
    // One parameter's new value as a single-parameter update carries it (params/ValueCodec),
    // reaching the effect at its next buffer; answers the effect's host code.
    ZQ::Quarl::Result updateParameter(ZQ::Quarl::PluginParamId id, const void* value, std::uint32_t bytes);

    std::uint32_t sampleRate() const { return m_sampleRate; }
    std::uint32_t channels() const { return m_channels; }
    std::uint32_t blockFrames() const { return m_settings.blockFrames; }
    // Input frames fed and not handed out yet (in the effect's last buffer, the transmission
    // or the space).
    std::uint64_t pendingFrames() const { return m_framesIn > m_framesOut ? m_framesIn - m_framesOut : 0; }
    // The most pendingFrames can be between calls: a buffer waiting for the input after it,
    // and what the transmission (a codec frame, its look-ahead, the resamplers' filters) and
    // the space (its first partition) hold back.
    std::uint64_t mostFramesHeldBack() const;
    // The meter records the effect posts.
    const quarl::ProcessingContext& context() const { return m_context; }

private:
    // The effect's output, through the transmission and the space when there are, to `sink`.
    bool deliver(const float* interleaved, std::uint32_t frames, const Sink& sink);
    // The transmission's and the space's last frames, to `sink`.
    bool finishSteps(const Sink& sink);
    // What the transmission hands on, through the space when there is one, to `sink`.
    bool deliverTransmitted(const float* transmitted, std::size_t frames, bool last, const Sink& sink);
    Sink appending(std::vector<float>& out);

    RunSettings m_settings;
    const ZQ::Quarl::PluginRegistration& m_effect;
    std::uint32_t m_sampleRate;
    std::uint32_t m_channels;
    quarl::HostAllocator m_allocator;
    quarl::ProcessingContext m_context{false};
    quarl::EffectInstance m_instance;
    std::unique_ptr<quarl::StreamRenderer> m_renderer;
    std::unique_ptr<TransmissionStep> m_transmission; // none when inactive
    std::unique_ptr<SpaceStep> m_space;               // none when inactive
    std::vector<float> m_transmitted;
    std::vector<float> m_spaced;
    std::unique_ptr<quarl::AudioBufferStorage> m_live; // for a live run
    bool m_begun = false;
    std::uint64_t m_framesIn = 0;
    std::uint64_t m_framesOut = 0;
};
} // namespace pipeline
