#include "cli/render/FileRenderer.h"

#include "cli/render/ChunkConveyor.h"
#include "cli/io/DamagedInput.h"
#include "cli/signals/DemoSignal.h"
#include "cli/render/EffectHost.h"
#include "cli/render/ParkedOutput.h"
#include "cli/io/Interruption.h"
#include "cli/io/LittleEndianPcm.h"
#include "cli/io/OutputFiles.h"
#include "cli/metering/LoudnessNotes.h"
#include "cli/metering/PipelinedLevelMeter.h"
#include "pipeline/ServedAudio.h"
#include "cli/settings/UsageError.h"
#include "pipeline/EffectRun.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

using namespace ZQ::Quarl;

namespace
{
// What a render's tail is allowed when its output file is sized (the effect's tails last
// seconds): a file that would outgrow its container with it is written in a larger one.
constexpr std::uint64_t kTailAllowanceSeconds = 600;

// Where the samples come from: a file, streamed, or the demo held in memory. A file that
// ends before its header says, or fails midway, is remembered as an error.
class InputStream
{
public:
    explicit InputStream(const std::string& path) : m_path(path)
    {
        if (path.empty())
        {
            m_demo = DemoSignal::generate();
            m_channels = DemoSignal::kChannels;
            m_sampleRate = DemoSignal::kSampleRate;
            m_frames = m_demo.size() / m_channels;
            return;
        }
        m_file = openInput(path);
        const std::string unserved = unservedReason(static_cast<std::uint32_t>(std::max(m_file.channels(), 0)),
                                                    static_cast<std::uint32_t>(std::max(m_file.samplerate(), 0)));
        if (!unserved.empty())
            throw UsageError("cannot render \"" + path + "\": it has " + unserved);
        const std::string damage = damageOf(m_file.rawHandle());
        if (!damage.empty())
            throw IoError("cannot read \"" + path + "\": " + damage);
        m_channels = static_cast<std::uint32_t>(m_file.channels());
        m_sampleRate = static_cast<std::uint32_t>(m_file.samplerate());
        m_format = m_file.format();
        m_frames = static_cast<std::uint64_t>(std::max<sf_count_t>(m_file.frames(), 0));
        m_framesKnown = m_file.frames() > 0 && m_file.frames() < SF_COUNT_MAX;
        // 16-bit WAV data is read as it is stored and converted here, in large reads.
        if (littleEndianPcmBytes(m_format) == 2)
        {
            m_storedFrames = std::max<std::uint32_t>(1, kStoredReadBytes / (2 * m_channels));
            m_stored.resize(static_cast<std::size_t>(m_storedFrames) * m_channels * 2);
        }
    }

    std::uint32_t read(float* interleaved, std::uint32_t frames)
    {
        if (!m_file)
        {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, m_frames - m_position));
            std::memcpy(interleaved, m_demo.data() + m_position * m_channels, sizeof(float) * n * m_channels);
            m_position += n;
            return n;
        }
        // Served from a read-ahead of many buffers: a few large reads rather than one small
        // one per buffer.
        std::uint32_t served = 0;
        while (served < frames)
        {
            if (m_aheadAt == m_aheadEnd)
            {
                m_aheadAt = 0;
                if (m_stored.empty())
                {
                    m_ahead.resize(static_cast<std::size_t>(kReadAheadFrames) * m_channels);
                    m_aheadEnd = readFile(kReadAheadFrames);
                }
                else
                {
                    m_aheadEnd = readFile(m_storedFrames);
                }
                if (m_aheadEnd == 0)
                    break;
            }
            const std::uint32_t n = std::min(frames - served, m_aheadEnd - m_aheadAt);
            float* into = interleaved + static_cast<std::size_t>(served) * m_channels;
            const std::size_t at = static_cast<std::size_t>(m_aheadAt) * m_channels;
            if (m_stored.empty())
                std::memcpy(into, m_ahead.data() + at, sizeof(float) * n * m_channels);
            else
                unpackLittleEndianPcm16(m_stored.data() + 2 * at, static_cast<std::size_t>(n) * m_channels, into);
            m_aheadAt += n;
            served += n;
        }
        return served;
    }

    // Throws IoError when the input could not be read whole.
    void checkComplete() const
    {
        if (!m_error.empty())
            throw IoError("cannot read \"" + m_path + "\": " + m_error);
    }

    // The frames the header promises, or 0 when it cannot tell (a stream).
    std::uint64_t frames() const { return m_framesKnown ? m_frames : 0; }
    std::uint32_t channels() const { return m_channels; }
    std::uint32_t sampleRate() const { return m_sampleRate; }
    int format() const { return m_format; }

private:
    static constexpr std::uint32_t kReadAheadFrames = 8192;
    static constexpr std::uint32_t kStoredReadBytes = 1u << 16;

    // Frames read from the file into the read-ahead; none once it failed or ended short of
    // its header.
    std::uint32_t readFile(std::uint32_t frames)
    {
        if (!m_error.empty())
            return 0;
        const std::size_t frameBytes = std::size_t{2} * m_channels;
        const sf_count_t n =
            m_stored.empty()
                ? m_file.readf(m_ahead.data(), frames)
                : static_cast<sf_count_t>(
                      std::max<sf_count_t>(sf_read_raw(m_file.rawHandle(), m_stored.data(),
                                                       static_cast<sf_count_t>(frames * frameBytes)),
                                           0) /
                      static_cast<sf_count_t>(frameBytes));
        m_position += static_cast<std::uint64_t>(std::max<sf_count_t>(n, 0));
        if (m_file.error() != SF_ERR_NO_ERROR)
            m_error = m_file.strError();
        else if (n < static_cast<sf_count_t>(frames) && m_framesKnown && m_position < m_frames)
            m_error = "it ends after " + std::to_string(m_position) + " of the " + std::to_string(m_frames) +
                      " frames its header promises (truncated or damaged)";
        return m_error.empty() ? static_cast<std::uint32_t>(std::max<sf_count_t>(n, 0)) : 0;
    }

    std::string m_path;
    SndfileHandle m_file;
    std::vector<float> m_ahead; // frames read from the file, not yet served
    std::vector<unsigned char> m_stored; // or the same as the file stores them (16-bit WAV)
    std::uint32_t m_storedFrames = 0;
    std::uint32_t m_aheadAt = 0;
    std::uint32_t m_aheadEnd = 0;
    std::vector<float> m_demo;
    std::uint64_t m_position = 0;
    std::uint32_t m_channels = 0;
    std::uint32_t m_sampleRate = 0;
    int m_format = 0;
    std::uint64_t m_frames = 0;
    bool m_framesKnown = true;
    std::string m_error;
};

} // namespace

std::uint64_t inputFrames(const std::string& input)
{
    if (input.empty())
        return 4 * DemoSignal::kSampleRate;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(input, ec))
        return 0;
    SndfileHandle file(input);
    return file.rawHandle() != nullptr ? static_cast<std::uint64_t>(std::max<sf_count_t>(file.frames(), 0)) : 0;
}

FileRenderResult renderFile(const FileRenderRequest& request)
{
    const RenderRecipe& recipe = *request.recipe;
    if (!request.input.empty() && sameFile(request.input, request.output))
        throw UsageError("the output \"" + request.output + "\" is the input \"" + request.input +
                         "\": a render never writes over its source");
    InputStream input(request.input);
    DeliveryInput delivered([&](float* into, std::uint32_t frames) { return input.read(into, frames); },
                            input.channels(), input.sampleRate(), recipe.delivery);
    const auto channels = delivered.channels();
    const auto sampleRate = delivered.sampleRate();
    const int format = outputFormatFor(request.output, recipe.format, static_cast<int>(channels),
                                       static_cast<int>(sampleRate), input.format());

    // The effect as the host runs it, then the transmission and the space.
    pipeline::RunSettings settings{recipe.block, request.blockFrames,
                                   recipe.transmission.value_or(transmission::TransmissionSettings{}), recipe.seed,
                                   recipe.space};
    pipeline::EffectRun run(EffectHost::instance().effect(), std::move(settings), sampleRate, channels);

    FileRenderResult result;
    result.channels = channels;
    result.sampleRate = sampleRate;
    result.integerFormat = clipsAtFullScale(format);
    result.inputChannels = input.channels();
    result.inputSampleRate = input.sampleRate();

    PartialFile partial(request.output);
    const std::uint64_t mostFrames =
        input.frames() > 0 ? delivered.frames(input.frames()) + kTailAllowanceSeconds * sampleRate : 0;
    AudioWriter writer(partial.path(), request.output, format, static_cast<int>(channels),
                       static_cast<int>(sampleRate), mostFrames);
    if (recipe.delivery.dither)
        writer.ditherWith(recipe.seed);
    if (!request.metadata.empty())
        if (const std::string error = writer.describeWith(request.metadata); !error.empty())
            throw IoError("cannot write \"" + request.output + "\": " + error);
    LevelMeter outputMeter(channels, sampleRate, LevelMeter::Measure::Everything);
    // Measured and written together, beside the render when asked; a write error stops the
    // render as soon as it is seen (aside, up to a few chunks later).
    std::uint64_t written = 0;
    std::atomic<bool> writeFailed{false};
    ChunkConveyor output(channels,
                         [&](const float* from, std::uint32_t frames) {
                             outputMeter.add(from, frames);
                             if (writer.write(from, frames))
                                 written += frames;
                             else
                                 writeFailed = true;
                         },
                         request.workAside);
    std::uint64_t handed = 0;
    auto writeOut = [&](const float* from, std::uint32_t frames) {
        output.add(from, frames);
        handed += frames;
        if (request.progress)
            request.progress(handed);
        return !writeFailed;
    };
    auto notInterrupted = [](std::uint64_t) { return !Interruption::requested(); };
    const LoudnessTarget loudness = recipe.loudnessTarget();
    const bool normalise = loudness.mode != LoudnessTarget::Mode::None;
    std::unique_ptr<PipelinedLevelMeter> inputMeter;
    if (loudness.mode == LoudnessTarget::Mode::MatchInput)
        inputMeter = std::make_unique<PipelinedLevelMeter>(channels, sampleRate, LevelMeter::Measure::Loudness,
                                                           request.workAside);
    auto source = [&](float* into, std::uint32_t frames) {
        const std::uint32_t n = delivered.read(into, frames);
        if (inputMeter)
            inputMeter->add(into, n);
        return n;
    };

    pipeline::RunResult rendered;
    if (!normalise)
    {
        rendered = run.run(source, writeOut, notInterrupted);
    }
    else
    {
        // First pass: the effect's output, measured and parked; then one gain for all of it,
        // applied as the parked samples are handed to the output.
        ParkedOutput parked(request.output, channels);
        PipelinedLevelMeter effectMeter(channels, sampleRate, LevelMeter::Measure::Loudness, request.workAside);
        rendered = run.run(source,
                           [&](const float* from, std::uint32_t frames) {
                               effectMeter.add(from, frames);
                               return parked.park(from, frames);
                           },
                           notInterrupted);
        if (!parked.error().empty())
            throw IoError(parked.error());
        input.checkComplete();
        if (Interruption::requested())
            throw Interrupted();
        const Levels inputLevels = inputMeter ? inputMeter->levels() : Levels{};
        const double target =
            loudness.mode == LoudnessTarget::Mode::Fixed ? loudness.lufs : inputLevels.loudnessLufs;
        result.inputLoudnessLufs = target;
        result.gainDb = gainToTarget(target, effectMeter.levels(), inputMeter ? &inputLevels : nullptr, result.gainNote);
        if (inputLevels.nonFiniteSamples > 0)
            result.gainNote += (result.gainNote.empty() ? "" : "; ") + std::to_string(inputLevels.nonFiniteSamples) +
                               " NaN or Inf input sample" + (inputLevels.nonFiniteSamples == 1 ? "" : "s") +
                               " measured as silence";
        const auto gain = static_cast<float>(std::pow(10.0, result.gainDb / 20.0));
        parked.playBack(gain, [&](const float* from, std::uint32_t frames) {
            if (Interruption::requested())
                throw Interrupted();
            return writeOut(from, frames);
        });
    }

    output.drain();
    const std::string writeError = writer.close();
    if (!writeError.empty())
        throw IoError("cannot write \"" + request.output + "\": " + writeError);
    input.checkComplete();
    if (Interruption::requested())
        throw Interrupted();
    if (!rendered.succeeded())
        throw IoError(rendered.failure());
    partial.commit(request.replace);

    const quarl::RenderResult& effect = rendered.effect;
    result.inputFrames = effect.inputFrames;
    result.outputFrames = written;
    result.effectTailFrames = effect.effectTailFrames;
    result.ringOutFrames = effect.ringOutFrames;
    result.tailEnd = effect.tailEnd;
    result.tailEndDbfs = 20.0 * std::log10(effect.endPeak) + result.gainDb;
    result.tailEndBelowPeakDb = effect.endPeak > 0.f ? 20.0 * std::log10(effect.renderPeak / effect.endPeak)
                                                     : HUGE_VAL;
    result.transmission = rendered.transmission;
    result.space = rendered.space;
    result.output = outputMeter.levels();
    return result;
}
