#include "cli/render/Resampling.h"

#include "cli/settings/UsageError.h"

#include <soxr.h>

#include <cmath>
#include <string>

namespace
{
// Input frames handed to the resampler at a time.
constexpr std::size_t kInputChunkFrames = 4096;
} // namespace

ResamplingReader::ResamplingReader(std::function<std::uint32_t(float*, std::uint32_t)> read, std::uint32_t channels,
                                   double fromRate, double toRate)
    : m_read(std::move(read)), m_channels(channels), m_input(kInputChunkFrames * channels)
{
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    soxr_error_t error = nullptr;
    m_soxr = soxr_create(fromRate, toRate, channels, &error, &io, &quality, nullptr);
    if (error == nullptr)
        error = soxr_set_input_fn(m_soxr, &ResamplingReader::supply, this,
                                  kInputChunkFrames);
    if (error != nullptr)
    {
        soxr_delete(m_soxr);
        throw IoError(std::string("the resampler could not be set up: ") + error);
    }
}

ResamplingReader::~ResamplingReader()
{
    soxr_delete(m_soxr);
}

std::size_t ResamplingReader::supply(void* state, const void** data, std::size_t requested)
{
    auto& self = *static_cast<ResamplingReader*>(state);
    *data = self.m_input.data();
    if (self.m_ended)
        return 0;
    const auto wanted = static_cast<std::uint32_t>(std::min(requested, kInputChunkFrames));
    const std::uint32_t got = self.m_read(self.m_input.data(), wanted);
    self.m_ended = got == 0;
    return got;
}

std::uint32_t ResamplingReader::read(float* interleaved, std::uint32_t frames)
{
    std::uint32_t done = 0;
    // libsoxr may answer less than asked while it fills its filter: ask until it ends.
    while (done < frames)
    {
        const std::size_t n = soxr_output(m_soxr, interleaved + static_cast<std::size_t>(done) * m_channels, frames - done);
        if (soxr_error(m_soxr) != nullptr)
            throw IoError(std::string("the resampler failed: ") + soxr_error(m_soxr));
        if (n == 0)
            break;
        done += static_cast<std::uint32_t>(n);
    }
    return done;
}

std::uint64_t ResamplingReader::outputFrames(std::uint64_t inputFrames, double fromRate, double toRate)
{
    return static_cast<std::uint64_t>(std::llround(static_cast<double>(inputFrames) * toRate / fromRate));
}
