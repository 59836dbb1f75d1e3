// The audition page's C interface (web/CrumletEngine.h) against the effect run directly through
// its registration record, buffer by buffer: the same samples for the same buffers, settings
// changed between buffers as the host's updates change them, and the calls refused that a page
// may get wrong.
#include "web/CrumletEngine.h"

#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace crumlet_test;
using namespace ZQ::Quarl;
namespace P = ParamId;

namespace
{
constexpr std::uint32_t kFrames = 256;
constexpr int kBuffers = 6;

struct EngineDeleter
{
    void operator()(CrumletEngine* e) const { crumlet_engine_destroy(e); }
};
using Engine = std::unique_ptr<CrumletEngine, EngineDeleter>;

Engine make(const BlockBuilder& block, std::uint32_t channels, std::uint32_t maxFrames = kFrames)
{
    return Engine(crumlet_engine_create(block.data(), block.size(), 48000, channels, maxFrames));
}

BlockBuilder everyStage()
{
    return BlockBuilder()
        .set(P::FiltersHPFFreq, 150).set(P::FiltersLPFFreq, 6000).set(P::DistortionMode, 2)
        .set(P::DistortionAmount, 60).set(P::EQGain, 6).set(P::EQFreq, 2000).set(P::NoiseLevel, -30)
        .set(P::SIMType, 17).set(P::GateThreshold, -30).set(P::LoFiBitDepthType, 9).set(P::LoFiDownSampleIndex, 2);
}

// Buffer b of channel c: noise that differs per channel and buffer, loud enough to distort.
std::vector<float> input(std::uint32_t c, int b)
{
    return uniformNoise(kFrames, 0.8f, 17 + 31 * c + static_cast<std::uint32_t>(b));
}

// The harness's output for each buffer, channel after channel (planar), with `between` run on
// the harness before buffer b.
template <typename Between>
std::vector<std::vector<float>> harnessOutput(const BlockBuilder& block, std::uint32_t channels, Between between)
{
    EffectHarness h(channels, 48000, kFrames);
    EXPECT_EQ(h.create(block), Success);
    std::vector<std::vector<float>> out;
    for (int b = 0; b < kBuffers; ++b)
    {
        between(h, b);
        std::vector<std::vector<float>> in;
        for (std::uint32_t c = 0; c < channels; ++c)
            in.push_back(input(c, b));
        EXPECT_EQ(h.run(in, kFrames), Success);
        std::vector<float> planar;
        for (std::uint32_t c = 0; c < channels; ++c)
        {
            const auto o = h.output(c);
            planar.insert(planar.end(), o.begin(), o.end());
        }
        out.push_back(planar);
    }
    return out;
}

template <typename Between>
std::vector<std::vector<float>> apiOutput(CrumletEngine* e, std::uint32_t channels, bool interleaved, Between between)
{
    std::vector<std::vector<float>> out;
    for (int b = 0; b < kBuffers; ++b)
    {
        between(e, b);
        std::vector<float> planar;
        for (std::uint32_t c = 0; c < channels; ++c)
        {
            const auto in = input(c, b);
            planar.insert(planar.end(), in.begin(), in.end());
        }
        if (interleaved)
        {
            std::vector<float> frames(planar.size());
            for (std::uint32_t i = 0; i < kFrames; ++i)
                for (std::uint32_t c = 0; c < channels; ++c)
                    frames[i * channels + c] = planar[c * kFrames + i];
            EXPECT_EQ(crumlet_engine_process_interleaved(e, frames.data(), kFrames), 0);
            for (std::uint32_t i = 0; i < kFrames; ++i)
                for (std::uint32_t c = 0; c < channels; ++c)
                    planar[c * kFrames + i] = frames[i * channels + c];
        }
        else
            EXPECT_EQ(crumlet_engine_process_planar(e, planar.data(), kFrames), 0);
        out.push_back(planar);
    }
    return out;
}
} // namespace

TEST(EngineApi, PlaysWhatTheEffectPlaysBufferByBuffer)
{
    for (const std::uint32_t channels : {1u, 2u, 3u})
        for (const bool interleaved : {false, true})
        {
            SCOPED_TRACE(std::to_string(channels) + (interleaved ? " channels interleaved" : " channels planar"));
            const auto expected = harnessOutput(everyStage(), channels, [](EffectHarness&, int) {});
            const Engine e = make(everyStage(), channels);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(apiOutput(e.get(), channels, interleaved, [](CrumletEngine*, int) {}), expected);
        }
}

TEST(EngineApi, SettingsChangeBetweenBuffersAsTheHostChangesThem)
{
    // One parameter by name, as the host's single-parameter update in its own type.
    const auto byUpdate = harnessOutput(everyStage(), 2, [](EffectHarness& h, int b) {
        if (b == 2)
        {
            EXPECT_EQ(h.set(P::SIMType, 40), Success);
        }
        if (b == 4)
        {
            EXPECT_EQ(h.set(P::DistortionEnable, 0), Success);
        }
    });
    const Engine e = make(everyStage(), 2);
    const std::int32_t sim = crumlet_engine_parameter_id("SIMType");
    const std::int32_t distortion = crumlet_engine_parameter_id("DistortionEnable");
    ASSERT_EQ(sim, P::SIMType);
    ASSERT_EQ(distortion, P::DistortionEnable);
    EXPECT_EQ(apiOutput(e.get(), 2, false,
                        [&](CrumletEngine* engine, int b) {
                            if (b == 2)
                            {
                                EXPECT_EQ(crumlet_engine_set_parameter(engine, sim, 40), 0);
                            }
                            if (b == 4)
                            {
                                EXPECT_EQ(crumlet_engine_set_parameter(engine, distortion, 0.0), 0);
                            }
                        }),
              byUpdate);

    // A whole block before the first buffer: as an engine made from it.
    const Engine fromDefaults = make(BlockBuilder(), 2);
    const Engine fromBlock = make(everyStage(), 2);
    const BlockBuilder block = everyStage();
    EXPECT_EQ(apiOutput(fromDefaults.get(), 2, false,
                        [&](CrumletEngine* engine, int b) {
                            if (b == 0)
                            {
                                EXPECT_EQ(crumlet_engine_set_block(engine, block.data(), block.size()), 0);
                            }
                        }),
              apiOutput(fromBlock.get(), 2, false, [](CrumletEngine*, int) {}));
}

TEST(EngineApi, RefusesWhatItCannotPlay)
{
    const BlockBuilder block;
    EXPECT_EQ(crumlet_engine_create(block.data(), block.size() - 1, 48000, 2, 64), nullptr);
    EXPECT_EQ(crumlet_engine_create(nullptr, block.size(), 48000, 2, 64), nullptr);
    EXPECT_EQ(crumlet_engine_create(block.data(), block.size(), 0, 2, 64), nullptr);
    EXPECT_EQ(crumlet_engine_create(block.data(), block.size(), 48000, 0, 64), nullptr);
    EXPECT_EQ(crumlet_engine_create(block.data(), block.size(), 48000, 65, 64), nullptr);
    EXPECT_EQ(crumlet_engine_create(block.data(), block.size(), 48000, 2, 0), nullptr);
    EXPECT_EQ(crumlet_engine_create(block.data(), block.size(), 48000, 2, 65537), nullptr);

    const Engine e = make(block, 2, 64);
    ASSERT_NE(e, nullptr);
    std::vector<float> samples(2 * 65, 0.25f);
    const std::vector<float> before = samples;
    EXPECT_EQ(crumlet_engine_process_interleaved(e.get(), samples.data(), 65), -1);
    EXPECT_EQ(crumlet_engine_process_planar(e.get(), samples.data(), 65), -1);
    EXPECT_EQ(samples, before);
    EXPECT_EQ(crumlet_engine_process_planar(nullptr, samples.data(), 64), -1);
    EXPECT_EQ(crumlet_engine_process_interleaved(e.get(), nullptr, 64), -1);
    EXPECT_EQ(crumlet_engine_set_block(e.get(), block.data(), 138), -1);
    EXPECT_EQ(crumlet_engine_set_parameter(e.get(), 9999, 1.0), -1);
    EXPECT_EQ(crumlet_engine_parameter_id("NoSuchParameter"), -1);
    EXPECT_EQ(crumlet_engine_parameter_id(nullptr), -1);
    crumlet_engine_destroy(nullptr);
}
