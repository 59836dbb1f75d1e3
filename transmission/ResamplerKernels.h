// libsoxr's high-quality linear-phase conversion from one rate to another, as the responses
// it makes to a single input sample. Rates in the ratio inPeriod : outPeriod (lowest terms)
// make a system that repeats every inPeriod inputs, so inPeriod responses, one per phase of
// the input, are the whole conversion: StreamResampler adds them up sample by sample and
// holds back no more than the filter reaches ahead, where libsoxr's own blocks hold back
// several times that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct soxr;

namespace transmission
{

// libsoxr's high-quality linear-phase converter for one channel of floats, the filter the
// kernels are read from; throws std::runtime_error when libsoxr cannot make one.
soxr* makeHighQualityConverter(std::uint32_t fromRate, std::uint32_t toRate);

struct ResamplerKernels
{
    // Input sample q * inPeriod + j adds taps[begin, begin + length) of phase j to the outputs
    // from q * outPeriod + offset on.
    struct Phase
    {
        std::int64_t offset = 0;
        std::size_t begin = 0;
        std::size_t length = 0;
    };

    std::int64_t inPeriod = 1;
    std::int64_t outPeriod = 1;
    std::vector<Phase> phases;
    std::vector<float> taps;
    // For each phase j: the first output that input q * inPeriod + j or any later input still
    // adds to, relative to q * outPeriod. Outputs before it are final.
    std::vector<std::int64_t> firstOpen;
    // How far ahead of an output's own time the filter reaches, in input samples (rounded up).
    std::size_t lookAheadInputs = 0;
};

// The kernels for a pair of whole-number rates, made once per process and shared; null when
// the ratio's period is longer than 2,048 inputs (22,254 Hz against 8 kHz: 11,127), in which
// case libsoxr's own blocks are used.
std::shared_ptr<const ResamplerKernels> resamplerKernels(std::uint32_t fromRate, std::uint32_t toRate);

} // namespace transmission
