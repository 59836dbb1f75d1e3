// A whole stream through the effect for the page's offline render, as the tool renders a file:
// fed in buffers as it comes, finished (its last buffer marked as the end of input, the
// effect's tail, the playing on while the output rings), its output kept until the page takes
// it. The one effect run of pipeline/, made from a parameter block through the registration
// record.
#include "params/ParameterTable.h"
#include "pipeline/EffectRun.h"
#include "pipeline/LinkedEffect.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

struct CrumletWebStream
{
    pipeline::EffectRun run;
    std::vector<float> output; // interleaved, not yet taken
    std::size_t taken = 0;     // samples of `output` already taken
};

extern "C" {

// A stream at `sampleRate` Hz of `channels` channels, played in buffers of `blockFrames`
// frames, from a parameter block of kParameterBlockSize bytes; null when it cannot be made.
CrumletWebStream* crumlet_web_stream_create(const std::uint8_t* block, std::uint32_t sampleRate,
                                            std::uint32_t channels, std::uint32_t blockFrames)
{
    const ZQ::Quarl::PluginRegistration* record = pipeline::linkedEffectRecord();
    if (record == nullptr || block == nullptr || channels == 0 || blockFrames == 0 ||
        blockFrames > pipeline::kMaxBlockFrames)
        return nullptr;
    pipeline::RunSettings settings;
    settings.block.assign(block, block + kParameterBlockSize);
    settings.blockFrames = blockFrames;
    try
    {
        return new CrumletWebStream{pipeline::EffectRun(*record, std::move(settings), sampleRate, channels), {}, 0};
    }
    catch (const std::exception&)
    {
        return nullptr;
    }
}

// The next `frames` interleaved frames of the input; 0, or -1 when the effect stopped with an
// error.
int crumlet_web_stream_feed(CrumletWebStream* stream, const float* interleaved, std::uint32_t frames)
{
    try
    {
        stream->run.feed(interleaved, frames, stream->output);
        return 0;
    }
    catch (const std::exception&)
    {
        return -1;
    }
}

// Ends the input: the rest of the output follows. 0, or -1 as for feed.
int crumlet_web_stream_finish(CrumletWebStream* stream)
{
    try
    {
        stream->run.finish(stream->output);
        return 0;
    }
    catch (const std::exception&)
    {
        return -1;
    }
}

// Up to `frames` frames of the output not yet taken, into `out`; how many.
std::uint32_t crumlet_web_stream_take(CrumletWebStream* stream, float* out, std::uint32_t frames)
{
    const std::uint32_t channels = stream->run.channels();
    const std::size_t ready = (stream->output.size() - stream->taken) / channels;
    const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(ready, frames));
    std::memcpy(out, stream->output.data() + stream->taken, sizeof(float) * n * channels);
    stream->taken += static_cast<std::size_t>(n) * channels;
    if (stream->taken == stream->output.size())
    {
        stream->output.clear();
        stream->taken = 0;
    }
    return n;
}

void crumlet_web_stream_destroy(CrumletWebStream* stream)
{
    delete stream;
}
}
