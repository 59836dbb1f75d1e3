#include "cli/RenderCommand.h"

#include "cli/AudioFiles.h"
#include "cli/DemoSignal.h"
#include "cli/EffectModule.h"
#include "cli/ParameterSettings.h"
#include "cli/ProgressBar.h"
#include "cli/UsageError.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"
#include "quarl/StreamRenderer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace ZQ::Quarl;

namespace
{
constexpr std::uint32_t kMaxBlockFrames = 65536;

// Where the samples come from: a file, streamed, or the demo held in memory.
class InputStream
{
public:
    explicit InputStream(const std::string& path)
    {
        if (path.empty())
        {
            m_demo = DemoSignal::generate();
            m_channels = DemoSignal::kChannels;
            m_sampleRate = DemoSignal::kSampleRate;
            m_frames = m_demo.size() / m_channels;
        }
        else
        {
            m_file = openInput(path);
            m_channels = static_cast<std::uint32_t>(m_file.channels());
            m_sampleRate = static_cast<std::uint32_t>(m_file.samplerate());
            m_frames = static_cast<std::uint64_t>(std::max<sf_count_t>(m_file.frames(), 0));
        }
    }

    std::uint32_t read(float* interleaved, std::uint32_t frames)
    {
        if (m_file)
            return static_cast<std::uint32_t>(std::max<sf_count_t>(m_file.readf(interleaved, frames), 0));
        const std::uint64_t left = m_frames - m_position;
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, left));
        std::memcpy(interleaved, m_demo.data() + m_position * m_channels, sizeof(float) * n * m_channels);
        m_position += n;
        return n;
    }

    std::uint32_t channels() const { return m_channels; }
    std::uint32_t sampleRate() const { return m_sampleRate; }
    std::uint64_t frames() const { return m_frames; }

private:
    SndfileHandle m_file;
    std::vector<float> m_demo;
    std::uint64_t m_position = 0;
    std::uint32_t m_channels = 0;
    std::uint32_t m_sampleRate = 0;
    std::uint64_t m_frames = 0;
};

void render(const RenderOptions& options)
{
    if (options.output.empty())
        throw UsageError("--out is required");
    if (options.blockFrames < 1 || options.blockFrames > kMaxBlockFrames)
        throw UsageError("--block takes 1 to " + std::to_string(kMaxBlockFrames) + " frames");
    ParameterSettings settings;
    for (const auto& assignment : options.assignments)
        settings.assign(assignment);
    const SampleFormat sampleFormat =
        options.sampleFormat.empty() ? SampleFormat::Automatic : parseSampleFormat(options.sampleFormat);

    InputStream input(options.input);
    const int format = outputFormatFor(options.output, sampleFormat, static_cast<int>(input.channels()),
                                       static_cast<int>(input.sampleRate()));
    if (input.channels() > 64)
        throw UsageError("the effect takes at most 64 channels; the input has " + std::to_string(input.channels()));

    // The host's side: its allocator and context, and the effect made from the bank block.
    quarl::HostAllocator allocator;
    quarl::ProcessingContext context(false);
    quarl::EffectInstance instance(registeredEffect(), allocator, &context);
    const std::vector<std::uint8_t> block = settings.toBlock();
    const Result created = instance.create(block.data(), static_cast<std::uint32_t>(block.size()),
                                           AudioFormat{input.sampleRate(), input.channels()});
    if (created != Success)
        throw IoError("the effect could not be set up (host code " + std::to_string(created) + ")");

    // Write beside the target and move it into place only when the render succeeded.
    const std::string partial = options.output + ".partial";
    std::uint64_t written = 0;
    quarl::RenderResult result;
    {
        SndfileHandle out = openOutput(partial, format, static_cast<int>(input.channels()),
                                       static_cast<int>(input.sampleRate()));
        ProgressBar progress(options.quiet ? std::string() : "rendering", input.frames());
        quarl::StreamRenderer renderer(*instance.effect(), input.channels(), options.blockFrames);
        result = renderer.run(
            [&](float* into, std::uint32_t frames) { return input.read(into, frames); },
            [&](const float* from, std::uint32_t frames) {
                written += frames;
                if (!options.quiet)
                    progress.update(written);
                return out.writef(from, frames) == static_cast<sf_count_t>(frames);
            });
        progress.finish();
        if (out.error() != SF_ERR_NO_ERROR || written != result.outputFrames)
        {
            std::remove(partial.c_str());
            throw IoError("cannot write \"" + options.output + "\": " + out.strError());
        }
    }
    if (result.status != Success)
    {
        std::remove(partial.c_str());
        throw IoError("the effect stopped with host code " + std::to_string(result.status));
    }
    if (std::rename(partial.c_str(), options.output.c_str()) != 0)
    {
        std::remove(partial.c_str());
        throw IoError("cannot write \"" + options.output + "\": " + std::strerror(errno));
    }

    if (!options.quiet)
    {
        const double rate = input.sampleRate();
        std::fprintf(stderr, "%s: %.2f s in, %.2f s out (%.2f s of tail), %u channels at %u Hz\n",
                     options.output.c_str(), static_cast<double>(result.inputFrames) / rate,
                     static_cast<double>(result.outputFrames) / rate,
                     static_cast<double>(result.outputFrames - result.inputFrames) / rate, input.channels(),
                     input.sampleRate());
    }
}
} // namespace

int runRender(const RenderOptions& options)
{
    try
    {
        render(options);
        return 0;
    }
    catch (const UsageError& e)
    {
        std::fprintf(stderr, "crumlet render: %s\n", e.what());
        return kExitUsage;
    }
    catch (const IoError& e)
    {
        std::fprintf(stderr, "crumlet render: %s\n", e.what());
        return kExitIoError;
    }
}
