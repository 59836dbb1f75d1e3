// The whole chain's output pinned bit for bit: a fingerprint of every output sample and
// meter over several seconds of programme, for several channel counts and buffer sizes,
// taken from the plain channel-by-channel chain. Any change in the order or rounding of
// a single float operation anywhere in the chain changes the fingerprint.
#include "engine/simd/CascadeDispatch.h"
#include "tests/support/EngineTestSupport.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace crumlet_test;
using namespace ZQ::Quarl;
namespace P = ParamId;

namespace
{
class Fingerprint
{
public:
    void add(const float* v, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            std::uint32_t bits;
            std::memcpy(&bits, &v[i], sizeof bits);
            for (int b = 0; b < 4; ++b)
            {
                m_hash ^= (bits >> (8 * b)) & 0xffu;
                m_hash *= 1099511628211ull;
            }
        }
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 14695981039346656037ull;
};

// Programme of `frames` frames: noise bursts, a swept tone and silence, different per channel.
std::vector<std::vector<float>> programme(std::uint32_t channels, std::uint32_t frames)
{
    std::vector<std::vector<float>> x(channels);
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        x[c] = uniformNoise(frames, 0.8f, 7 + c);
        for (std::uint32_t i = 0; i < frames; ++i)
        {
            const double t = i / 48000.0;
            const double section = std::fmod(t, 1.5);
            if (section < 0.5)
                x[c][i] *= static_cast<float>(0.2 + section);
            else if (section < 1.1)
                x[c][i] = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * (200.0 + 3000.0 * section) *
                                                            t * (1.0 + 0.1 * c)));
            else
                x[c][i] = 0.f;
        }
    }
    return x;
}

BlockBuilder busyChain(int simType)
{
    return BlockBuilder()
        .set(P::FiltersHPFFreq, 180).set(P::FiltersHPFSlope, 1).set(P::FiltersLPFFreq, 6500)
        .set(P::FiltersLPFSlope, 1).set(P::FiltersLPFQ, 40)
        .set(P::DistortionMode, 2).set(P::DistortionAmount, 60).set(P::DistortionIntensity, 40)
        .set(P::DistortionRectify, 20)
        .set(P::EQGain, 6).set(P::EQQ, 30).set(P::EQFreq, 1800)
        .set(P::NoiseLevel, -40).set(P::NoiseThresh, -30)
        .set(P::SIMType, simType).set(P::SIMTuning, 110)
        .set(P::GateThreshold, -50).set(P::GateRange, -40).set(P::GateHoldTime, 5)
        .set(P::LoFiBitDepthType, 8).set(P::LoFiDownSampleIndex, 2).set(P::LoFiFilter, 30)
        .set(P::OutputGain, -3).set(P::Balance, 90);
}

// Runs the programme in buffers of `block` frames, changing a few parameters on the way,
// then plays the tail; answers the fingerprint of every output sample and meter record.
std::uint64_t renderFingerprint(std::uint32_t channels, std::uint32_t block, int simType)
{
    constexpr std::uint32_t kFrames = 48000 * 3;
    EffectHarness h(channels, 48000, block);
    EXPECT_EQ(h.create(busyChain(simType)), Success);
    h.context.setMonitoring(true);
    const auto in = programme(channels, kFrames);
    Fingerprint print;
    std::vector<std::vector<float>> chunk(channels, std::vector<float>(block));
    std::uint32_t buffers = 0;
    for (std::uint32_t start = 0; start < kFrames; start += block, ++buffers)
    {
        if (buffers == 40)
            h.set(P::InputGain, -4);
        if (buffers == 90)
            h.set(P::SIMType, 99);
        if (buffers == 150)
            h.set(P::DistortionMode, 7);
        const std::uint32_t n = std::min(block, kFrames - start);
        for (std::uint32_t c = 0; c < channels; ++c)
            std::copy(in[c].begin() + start, in[c].begin() + start + n, chunk[c].begin());
        const bool last = start + n >= kFrames;
        h.run(chunk, n, last ? NoMoreData : Success);
        for (std::uint32_t c = 0; c < channels; ++c)
            print.add(h.output(c).data(), n);
    }
    std::vector<std::vector<float>> silence(channels, std::vector<float>(block, 0.f));
    for (int tail = 0; tail < 2000 && h.run(silence, 0, NoMoreData) == DataReady; ++tail)
        for (std::uint32_t c = 0; c < channels; ++c)
            print.add(h.output(c).data(), block);
    for (const auto& record : h.context.records())
        print.add(reinterpret_cast<const float*>(record.data()), record.size() / sizeof(float));
    return print.value();
}

struct Pinned
{
    std::uint32_t channels, block;
    int simType;
    std::uint64_t fingerprint;
};
} // namespace

TEST(ChainKnownOutput, EverySampleAsPinned)
{
    const Pinned cases[] = {
        {1, 512, 1, 0x3fc15231c4140d24ull}, {2, 512, 1, 0x6a142a7ad36908c3ull}, {2, 37, 4, 0x87308844de5b02baull},
        {2, 1000, 0, 0x73d1c68647a62e93ull}, {3, 256, 99, 0xa5a3962664a0be5bull}, {6, 512, 1, 0xd34af061fe9569caull},
        {2, 64, 1, 0x51cb8f17b521de55ull},  {1, 1, 4, 0xdbddb0c04563d1d8ull},
    };
    // The four-lane path always, and the eight-lane one where the processor has it.
    for (const bool wide : {false, true})
    {
        if (wide && !wideLanesAvailable())
            continue;
        allowWideLanes(wide);
        for (const Pinned& p : cases)
            EXPECT_EQ(renderFingerprint(p.channels, p.block, p.simType), p.fingerprint)
                << p.channels << " channels, buffers of " << p.block << ", model " << p.simType
                << (wide ? ", eight lanes" : ", four lanes");
    }
    allowWideLanes(true);
}
