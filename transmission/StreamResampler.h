// A sample-rate converter for one channel, fed and drained in pieces (libsoxr, high quality,
// linear phase). The output is aligned with the input: output sample k is at the time of input
// sample k * to / from, the filter's delay removed. Equal rates pass the samples through.
#pragma once

#include <cstddef>
#include <vector>

struct soxr;

namespace transmission
{

// How the resamplers work through a signal: in large blocks (the least work, for files), or in
// small ones that hold back less of it (a plugin's latency). The filters are the same; the
// samples differ by rounding.
enum class Resampling
{
    LargeBlocks,
    SmallBlocks,
};

class StreamResampler
{
public:
    // The most a call writes to `out` beyond what its input makes, in samples.
    static constexpr std::size_t kChunk = 4096;

    StreamResampler(double fromRate, double toRate, Resampling resampling = Resampling::LargeBlocks);
    ~StreamResampler();
    StreamResampler(const StreamResampler&) = delete;
    StreamResampler& operator=(const StreamResampler&) = delete;

    // Appends to `out` what the input so far makes ready.
    void process(const float* in, std::size_t count, std::vector<float>& out);
    // Appends the rest, once the input has ended.
    void finish(std::vector<float>& out);

private:
    void run(const float* in, std::size_t count, std::vector<float>& out);

    soxr* m_soxr = nullptr;
    double m_ratio = 1.0;
};

} // namespace transmission
