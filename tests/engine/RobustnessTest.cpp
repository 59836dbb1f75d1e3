// The processor under hostile conditions: allocations failing one by one, non-finite
// input, every supported format, and parameters changing at random before every buffer.
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace crumlet_test;
using namespace ZQ::Quarl;
namespace P = ParamId;

namespace
{
constexpr std::uint32_t kFrames = 64;

bool allFinite(const std::vector<float>& v)
{
    for (float x : v)
        if (!std::isfinite(x))
            return false;
    return true;
}

// Create the effect, then run five buffers, switching the EQ off before the third and on
// again before the fourth. Answers every host code seen on the way (create first).
std::vector<Result> runScript(EffectHarness& h)
{
    const BlockBuilder block = BlockBuilder().set(P::NoiseLevel, -40).set(P::DistortionAmount, 30);
    std::vector<Result> codes{h.create(block)};
    if (!h.ready())
    {
        // Nothing to run without both objects: the host tries again.
        h.destroy();
        codes.push_back(h.create(block));
    }
    for (int i = 0; i < 5; ++i)
    {
        if (i == 2)
            h.set(P::EQEnable, 0);
        if (i == 3)
            h.set(P::EQEnable, 1);
        codes.push_back(h.run(std::vector<std::vector<float>>(h.channels, uniformNoise(kFrames, 0.5f, i)), kFrames));
        for (std::uint32_t c = 0; c < h.channels; ++c)
            EXPECT_TRUE(allFinite(h.output(c)));
    }
    return codes;
}
} // namespace

// Every allocation of a whole session fails in turn: the failure is reported once as 52,
// nothing crashes or leaks, and the next buffers run with every stage in place again.
TEST(Robustness, EachAllocationFailingInTurn)
{
    EffectHarness reference(2, 48000, kFrames);
    for (Result r : runScript(reference))
        ASSERT_EQ(r, Success);
    const std::uint64_t allocations = reference.allocator.requests();
    const std::size_t settledBytes = reference.allocator.liveBytes();
    ASSERT_GT(allocations, 15u);

    for (std::uint64_t n = 1; n <= allocations; ++n)
    {
        SCOPED_TRACE("allocation " + std::to_string(n));
        EffectHarness h(2, 48000, kFrames);
        h.allocator.failNth(n);
        int insufficient = 0;
        for (Result r : runScript(h))
        {
            EXPECT_TRUE(r == Success || r == InsufficientMemory) << r;
            insufficient += r == InsufficientMemory;
        }
        EXPECT_EQ(h.allocator.failures(), 1u);
        EXPECT_EQ(insufficient, 1);

        const std::vector<float> in(kFrames, 0.25f);
        EXPECT_EQ(h.runMono(in), Success);
        EXPECT_EQ(h.runMono(in), Success);
        EXPECT_EQ(h.allocator.liveBytes(), settledBytes) << "every stage allocated again";
        h.destroy();
        EXPECT_EQ(h.allocator.liveBlocks(), 0u);
        EXPECT_EQ(h.allocator.liveBytes(), 0u);
    }
}

// A stage switched on while the host has no memory comes up once memory is back.
TEST(Robustness, StageComesUpWhenMemoryReturns)
{
    EffectHarness h(2, 48000, kFrames);
    ASSERT_EQ(h.create(BlockBuilder().allStagesOff()), Success);
    const std::vector<float> in(kFrames, 0.25f);
    h.runMono(in);
    const std::size_t without = h.allocator.liveBytes();
    h.set(P::FiltersEnable, 1);
    h.allocator.setOutOfMemory(true);
    EXPECT_EQ(h.runMono(in), InsufficientMemory);
    EXPECT_EQ(h.runMono(in), InsufficientMemory);
    EXPECT_EQ(h.allocator.liveBytes(), without);
    h.allocator.setOutOfMemory(false);
    EXPECT_EQ(h.runMono(in), Success);
    EXPECT_EQ(h.allocator.liveBytes() - without, sizeof(FiltersStage::Channel) * 2);
    h.destroy();
    EXPECT_EQ(h.allocator.liveBlocks(), 0u);
}

TEST(Robustness, RefusesFormatsItCannotRun)
{
    for (const AudioFormat format : {AudioFormat{0, 2}, AudioFormat{48000, 0}, AudioFormat{48000, 65}})
    {
        quarl::HostAllocator allocator;
        quarl::ProcessingContext context;
        {
            quarl::EffectInstance instance(crumletRecord(), allocator, &context);
            EXPECT_EQ(instance.create(nullptr, 0, format), InvalidParameter);
        }
        EXPECT_EQ(allocator.liveBlocks(), 0u);
    }
}

// NaN or infinity in one buffer may spoil that buffer only; every later buffer and every
// meter stays finite.
TEST(Robustness, NonFiniteInputStaysInItsBuffer)
{
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 3e38f};
    for (float value : bad)
    {
        SCOPED_TRACE(value);
        EffectHarness h(2, 48000, 128);
        ASSERT_EQ(h.create(BlockBuilder().set(P::DistortionAmount, 40).set(P::NoiseLevel, -50).set(P::SIMType, 4)
                               .set(P::LoFiDownSampleIndex, 3).set(P::InputGain, 12)),
                  Success);
        for (int block = 0; block < 8; ++block)
        {
            auto in = std::vector<std::vector<float>>{uniformNoise(128, 0.5f, block), uniformNoise(128, 0.5f, 50 + block)};
            if (block == 2)
                in[1][17] = value;
            ASSERT_EQ(h.run(in, 128), Success);
            // The other channel of the spoilt buffer never saw the bad sample.
            for (std::uint32_t c = 0; c < 2; ++c)
            {
                if (block != 2 || c == 0)
                {
                    ASSERT_TRUE(allFinite(h.output(c))) << "block " << block << " channel " << c;
                }
            }
            for (const auto& m : quarl::decodeMeterRecord(h.context.latest()))
                for (float v : m.values)
                    ASSERT_TRUE(std::isfinite(v)) << "block " << block;
        }
        // The spoilt channel plays again rather than staying silenced.
        EXPECT_GT(peakOf(h.output(1)), 0.1f * peakOf(h.output(0)));
    }
}

// Every rate from 8 kHz to 192 kHz, one to eight channels, buffers of 1 to 4096 frames
// and empty ones.
TEST(Robustness, FormatsAndBufferSizes)
{
    struct Shape
    {
        std::uint32_t channels, frames;
    };
    for (std::uint32_t rate : {8000u, 11025u, 22050u, 32000u, 44100u, 48000u, 88200u, 96000u, 176400u, 192000u})
        for (const Shape shape : {Shape{1, 1}, Shape{2, 64}, Shape{5, 333}, Shape{8, 4096}})
        {
            SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(shape.channels) + " x " +
                         std::to_string(shape.frames));
            EffectHarness h(shape.channels, rate, shape.frames);
            ASSERT_EQ(h.create(BlockBuilder().set(P::LoFiDownSampleIndex, 5).set(P::NoiseLevel, -30)), Success);
            const std::uint32_t buffers = shape.frames == 1 ? 64 : 3;
            for (std::uint32_t b = 0; b < buffers; ++b)
            {
                std::vector<std::vector<float>> in;
                for (std::uint32_t c = 0; c < shape.channels; ++c)
                    in.push_back(uniformNoise(shape.frames, 0.8f, b * 10 + c));
                ASSERT_EQ(h.run(in, shape.frames), Success);
                ASSERT_EQ(h.context.latest().size(), 4u + 28u * shape.channels);
                for (std::uint32_t c = 0; c < shape.channels; ++c)
                {
                    const std::vector<float> out = h.output(c);
                    ASSERT_EQ(out.size(), shape.frames);
                    ASSERT_TRUE(allFinite(out));
                    ASSERT_LT(peakOf(out), 4.f);
                }
            }
            const auto posts = h.context.postCount();
            ASSERT_EQ(h.run(std::vector<std::vector<float>>(shape.channels, std::vector<float>(shape.frames)), 0), Success);
            EXPECT_EQ(h.buffer().validFrames, 0u);
            EXPECT_EQ(h.context.postCount(), posts);
            EXPECT_GT(h.engine().tailSum(), 0);
        }
}

// Ten seconds of full-scale noise with parameters changed at random before every buffer:
// valid identifiers and garbage ones, in-range values and garbage bits, in every width.
// Every sample and meter stays finite. Abrupt re-tuning and up to +48 dB of gains make
// large but legitimate peaks, so the level is not bounded here; instead, once the input
// stops, whatever settings the storm left must die away to silence.
TEST(Robustness, RandomParameterChangesEveryBuffer)
{
    const std::uint32_t frames = 480, channels = 2;
    EffectHarness h(channels, 48000, frames);
    ASSERT_EQ(h.createDefaults(), Success);
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> idDist(-3, 80), countDist(0, 4), kindDist(0, 5), widthDist(0, 3);
    std::uniform_real_distribution<float> valueDist(-200.f, 20000.f);
    const float specials[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(), 1e-42f, -1e30f, 0.f};
    const std::uint32_t widths[] = {1, 2, 4, 8};

    float worst = 0.f;
    for (int buffer = 0; buffer < 1000; ++buffer)
    {
        for (int n = countDist(rng); n > 0; --n)
        {
            const ParameterId id = idDist(rng);
            unsigned char value[8] = {};
            switch (kindDist(rng))
            {
            case 0: { const float f = valueDist(rng); std::memcpy(value, &f, 4); break; }
            case 1: { const float f = specials[rng() % 6]; std::memcpy(value, &f, 4); break; }
            case 2: { const auto i = static_cast<std::int32_t>(rng() % 400) - 100; std::memcpy(value, &i, 4); break; }
            case 3: { const std::uint32_t bits = rng(); std::memcpy(value, &bits, 4); break; }
            default: sendParam(h.params(), id, static_cast<float>(rng() % 200) - 50.f); continue;
            }
            h.params().SetParam(id, value, widths[widthDist(rng)]);
        }
        std::vector<std::vector<float>> in;
        for (std::uint32_t c = 0; c < channels; ++c)
            in.push_back(uniformNoise(frames, 1.f, buffer * 2 + c));
        ASSERT_EQ(h.run(in, frames), Success);
        for (std::uint32_t c = 0; c < channels; ++c)
        {
            const std::vector<float> out = h.output(c);
            ASSERT_TRUE(allFinite(out)) << "buffer " << buffer;
            worst = std::max(worst, peakOf(out));
        }
        for (const auto& m : quarl::decodeMeterRecord(h.context.latest()))
            for (float v : m.values)
                ASSERT_TRUE(std::isfinite(v)) << "buffer " << buffer;
    }
    RecordProperty("worst_peak", std::to_string(worst));

    // Four seconds of silence with the generator off: every filter rings down.
    ASSERT_EQ(h.set(P::NoiseEnable, 0), Success);
    const std::vector<std::vector<float>> silence(channels, std::vector<float>(frames, 0.f));
    float last = 0.f;
    for (int buffer = 0; buffer < 400; ++buffer)
    {
        ASSERT_EQ(h.run(silence, frames), Success);
        if (buffer >= 350)
            for (std::uint32_t c = 0; c < channels; ++c)
                last = std::max(last, peakOf(h.output(c)));
    }
    EXPECT_LT(last, 1e-6f);
}
