// Audio files through the render path: any bytes that libsndfile opens as undamaged audio
// the tool serves are streamed through the effect buffer by buffer, the last marked as the end of
// input, then the tail, and measured on the way in and out as a render measures them.
// Finite samples in give finite samples out.
#include "cli/io/DamagedInput.h"
#include "cli/metering/LevelMeter.h"
#include "pipeline/ServedAudio.h"
#include "fuzz/FuzzEffect.h"
#include "quarl/StreamRenderer.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
struct MemoryFile
{
    const std::uint8_t* data;
    sf_count_t size;
    sf_count_t position;
};

sf_count_t length(void* user)
{
    return static_cast<MemoryFile*>(user)->size;
}

sf_count_t seek(sf_count_t offset, int whence, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->position : f->size;
    const sf_count_t to = base + offset;
    if (to < 0 || to > f->size)
        return -1;
    f->position = to;
    return to;
}

sf_count_t read(void* out, sf_count_t count, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t n = std::max<sf_count_t>(0, std::min(count, f->size - f->position));
    std::memcpy(out, f->data + f->position, static_cast<std::size_t>(n));
    f->position += n;
    return n;
}

sf_count_t write(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t tell(void* user)
{
    return static_cast<MemoryFile*>(user)->position;
}

constexpr sf_count_t kMostFrames = 1 << 15;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryFile file{data, static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{length, seek, read, write, tell};
    SF_INFO info{};
    SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (sf == nullptr)
        return 0;
    // Up to eight channels keep the runs quick.
    if (info.channels > 8 || !damageOf(sf).empty() || !unservedReason(static_cast<std::uint32_t>(std::max(info.channels, 0)),
                                             static_cast<std::uint32_t>(std::max(info.samplerate, 0)))
                                 .empty())
    {
        sf_close(sf);
        return 0;
    }
    const auto channels = static_cast<std::uint32_t>(info.channels);
    const auto rate = static_cast<std::uint32_t>(info.samplerate);
    FuzzEffect effect(rate, channels, 256);
    LevelMeter inputMeter(channels, rate, LevelMeter::Measure::Loudness);
    LevelMeter outputMeter(channels, rate, LevelMeter::Measure::Everything);

    sf_count_t readSoFar = 0;
    bool inputFinite = true;
    quarl::StreamRenderer::Source source = [&](float* into, std::uint32_t frames) -> std::uint32_t {
        const sf_count_t want = std::min<sf_count_t>(frames, kMostFrames - readSoFar);
        if (want <= 0)
            return 0;
        const sf_count_t got = std::max<sf_count_t>(sf_readf_float(sf, into, want), 0);
        readSoFar += got;
        inputMeter.add(into, static_cast<std::uint32_t>(got));
        for (sf_count_t i = 0; i < got * info.channels; ++i)
            inputFinite = inputFinite && std::isfinite(into[i]);
        return static_cast<std::uint32_t>(got);
    };
    quarl::StreamRenderer::Sink sink = [&](const float* out, std::uint32_t frames) {
        outputMeter.add(out, frames);
        if (inputFinite)
            for (std::size_t i = 0; i < static_cast<std::size_t>(frames) * channels; ++i)
                if (!std::isfinite(out[i]))
                    std::abort();
        return true;
    };
    effect.render(source, sink);
    (void)inputMeter.levels();
    (void)outputMeter.levels();
    sf_close(sf);
    return 0;
}
