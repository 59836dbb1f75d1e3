#include "cli/FileRenderer.h"

#include "cli/DemoSignal.h"
#include "cli/EffectHost.h"
#include "cli/UsageError.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"
#include "quarl/StreamRenderer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace ZQ::Quarl;

namespace
{
constexpr std::uint32_t kMaxChannels = 64;

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
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, m_frames - m_position));
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
} // namespace

std::uint64_t inputFrames(const std::string& input)
{
    if (input.empty())
        return 4 * DemoSignal::kSampleRate;
    SndfileHandle file(input);
    return file.rawHandle() != nullptr ? static_cast<std::uint64_t>(std::max<sf_count_t>(file.frames(), 0)) : 0;
}

FileRenderResult renderFile(const FileRenderRequest& request)
{
    InputStream input(request.input);
    if (input.channels() > kMaxChannels)
        throw UsageError("the effect takes at most " + std::to_string(kMaxChannels) + " channels; \"" + request.input +
                         "\" has " + std::to_string(input.channels()));
    const int format = outputFormatFor(request.output, request.sampleFormat, static_cast<int>(input.channels()),
                                       static_cast<int>(input.sampleRate()));

    // The host's side: its allocator and context, and the effect made from the bank block.
    quarl::HostAllocator allocator;
    quarl::ProcessingContext context(false);
    quarl::EffectInstance instance(EffectHost::instance().effect(), allocator, &context);
    const Result created = instance.create(request.block.data(), static_cast<std::uint32_t>(request.block.size()),
                                           AudioFormat{input.sampleRate(), input.channels()});
    if (created != Success)
        throw IoError("the effect could not be set up (host code " + std::to_string(created) + ")");

    const std::string partial = request.output + ".partial";
    FileRenderResult result{0, 0, input.channels(), input.sampleRate()};
    quarl::RenderResult rendered;
    std::string writeError;
    {
        SndfileHandle out = openOutput(partial, format, static_cast<int>(input.channels()),
                                       static_cast<int>(input.sampleRate()));
        quarl::StreamRenderer renderer(*instance.effect(), input.channels(), request.blockFrames);
        std::uint64_t written = 0;
        rendered = renderer.run([&](float* into, std::uint32_t frames) { return input.read(into, frames); },
                                [&](const float* from, std::uint32_t frames) {
                                    if (out.writef(from, frames) != static_cast<sf_count_t>(frames))
                                        return false;
                                    written += frames;
                                    if (request.progress)
                                        request.progress(written);
                                    return true;
                                });
        if (out.error() != SF_ERR_NO_ERROR || written != rendered.outputFrames)
            writeError = out.strError();
    }
    auto fail = [&](const std::string& message) {
        std::remove(partial.c_str());
        throw IoError(message);
    };
    if (!writeError.empty())
        fail("cannot write \"" + request.output + "\": " + writeError);
    if (rendered.status != Success)
        fail("the effect stopped with host code " + std::to_string(rendered.status));
    if (std::rename(partial.c_str(), request.output.c_str()) != 0)
        fail("cannot write \"" + request.output + "\": " + std::strerror(errno));
    result.inputFrames = rendered.inputFrames;
    result.outputFrames = rendered.outputFrames;
    return result;
}
