// Sample-rate conversion of a stream with libsoxr at its very high quality (28-bit, 0.01 dB
// pass-band roll-off): the input of a render is brought to the delivery rate before the
// effect, so that the device models and filters are designed for the rate the game plays.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct soxr;

class ResamplingReader
{
public:
    // Reads interleaved frames at `fromRate` from `read` (which answers the frames it gave,
    // 0 at the end) and hands them out at `toRate`. Throws IoError when libsoxr refuses.
    ResamplingReader(std::function<std::uint32_t(float*, std::uint32_t)> read, std::uint32_t channels,
                     double fromRate, double toRate);
    ~ResamplingReader();
    ResamplingReader(const ResamplingReader&) = delete;
    ResamplingReader& operator=(const ResamplingReader&) = delete;

    // Up to `frames` frames at the output rate; fewer only at the end (0 once it is reached).
    std::uint32_t read(float* interleaved, std::uint32_t frames);

    // Frames at the output rate that `inputFrames` input frames become.
    static std::uint64_t outputFrames(std::uint64_t inputFrames, double fromRate, double toRate);

private:
    static std::size_t supply(void* state, const void** data, std::size_t requested);

    std::function<std::uint32_t(float*, std::uint32_t)> m_read;
    std::uint32_t m_channels;
    soxr* m_soxr = nullptr;
    std::vector<float> m_input;
    bool m_ended = false;
};
