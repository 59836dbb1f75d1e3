// A sample-rate converter for one channel, fed and drained in pieces: libsoxr's high-quality
// linear-phase filter, applied sample by sample (ResamplerKernels). The output is aligned with
// the input: output sample k is at the time of input sample k * to / from, the filter's delay
// removed. An output is handed out as soon as no later input reaches it, so a converter holds
// back only what its filter reaches ahead; the samples are the same however the input is cut
// into pieces. Equal rates pass the samples through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct soxr;

namespace transmission
{

struct ResamplerKernels;

class StreamResampler
{
public:
    StreamResampler(double fromRate, double toRate);
    ~StreamResampler();
    StreamResampler(const StreamResampler&) = delete;
    StreamResampler& operator=(const StreamResampler&) = delete;

    // Appends to `out` what the input so far makes final.
    void process(const float* in, std::size_t count, std::vector<float>& out);
    // Appends the rest, once the input has ended: as many outputs in all as the input's
    // length at the output's rate, rounded to the nearest.
    void finish(std::vector<float>& out);
    // Makes room for calls of up to `count` inputs, so that they take no memory.
    void reserve(std::size_t count);

    // The most outputs a call appends beyond what its input makes at the ratio (those the
    // earlier inputs held back).
    std::size_t mostHeldBack() const;
    // Whether it works sample by sample (false: a ratio too long for a table, in libsoxr's
    // blocks, which hold back more and in a pattern that repeats only after seconds).
    bool sampleBySample() const { return m_soxr == nullptr; }

private:
    void add(float sample);
    void handOut(std::int64_t end, std::vector<float>& out);
    void runSoxr(const float* in, std::size_t count, std::vector<float>& out);

    std::shared_ptr<const ResamplerKernels> m_kernels;
    std::vector<float> m_sums;     // outputs from m_sumsStart on, still open
    std::size_t m_head = 0;        // m_sums[m_head] is output m_sumsStart
    std::int64_t m_sumsStart = 0;  // the first output not handed out
    std::int64_t m_period = 0;     // of the next input
    std::size_t m_phase = 0;       // of the next input
    std::uint64_t m_inputs = 0;
    double m_ratio = 1.0;
    bool m_passThrough = false;
    // Ratios whose period is too long for a table run through libsoxr's own blocks.
    soxr* m_soxr = nullptr;
};

} // namespace transmission
