// The space as a processor: known answers (a delayed unit sample, two taps, a long random
// response against a direct convolution in double precision), the mix, the predelay and the
// channels; pieces of any size against one piece, and every run and thread the same bytes; a
// live caller's first partition of any power of two.
#include "space/Space.h"
#include "transmission/SeededRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace space
{
namespace
{
constexpr double kRate = 48000.0;
constexpr Partitioning kBothPartitionings[] = {Partitioning::LargeBlocks, Partitioning::SmallBlocks};
// What the transforms' single-precision rounding leaves on signals within +-0.5.
constexpr float kRounding = 1e-6f;

std::vector<float> noise(std::size_t samples, std::uint64_t seed, float level = 0.5f)
{
    transmission::SeededRandom random(seed);
    std::vector<float> x(samples);
    for (float& v : x)
        v = level * random.bipolar();
    return x;
}

std::shared_ptr<const ImpulseResponse> impulseOf(std::vector<std::vector<float>> channels)
{
    auto ir = std::make_shared<ImpulseResponse>();
    ir->sampleRate = kRate;
    ir->channels = std::move(channels);
    return ir;
}

std::vector<float> unitAt(std::size_t delay, float gain = 1.f)
{
    std::vector<float> h(delay + 1, 0.f);
    h[delay] = gain;
    return h;
}

// The whole input in one piece, and the tail.
std::vector<float> render(Space& space, const std::vector<float>& interleaved)
{
    std::vector<float> out;
    space.process(interleaved.data(), interleaved.size() / space.channels(), out);
    space.finish(out);
    return out;
}

std::vector<float> render(std::shared_ptr<const ImpulseResponse> ir, unsigned channels, const std::vector<float>& in,
                          Partitioning partitioning, Blend blend = {})
{
    Space space(std::move(ir), channels, blend, partitioning);
    return render(space, in);
}

// sum_k h[k] x[n - k], in double.
double direct(const std::vector<float>& h, const std::vector<float>& x, std::size_t n)
{
    double y = 0.0;
    for (std::size_t k = 0; k < h.size() && k <= n; ++k)
        if (n - k < x.size())
            y += static_cast<double>(h[k]) * x[n - k];
    return y;
}

TEST(Convolution, UnitSampleAt10msDelaysByExactlyThatManySamplesUnscaled)
{
    const std::size_t delay = 480; // 10 ms at 48 kHz
    const auto x = noise(20000, 1);
    for (const Partitioning p : kBothPartitionings)
    {
        const auto y = render(impulseOf({unitAt(delay)}), 1, x, p);
        ASSERT_EQ(y.size(), x.size() + delay);
        for (std::size_t n = 0; n < y.size(); ++n)
            ASSERT_NEAR(y[n], n < delay ? 0.f : x[n - delay], kRounding) << "sample " << n;
    }
}

TEST(Convolution, TwoTapsGiveTheTwoTapSum)
{
    std::vector<float> h(1001, 0.f);
    h[0] = 0.5f;
    h[1000] = -0.25f;
    const auto x = noise(30000, 2);
    for (const Partitioning p : kBothPartitionings)
    {
        const auto y = render(impulseOf({h}), 1, x, p);
        ASSERT_EQ(y.size(), x.size() + 1000);
        for (std::size_t n = 0; n < y.size(); ++n)
        {
            const float expected = (n < x.size() ? 0.5f * x[n] : 0.f) - (n >= 1000 ? 0.25f * x[n - 1000] : 0.f);
            ASSERT_NEAR(y[n], expected, kRounding) << "sample " << n;
        }
    }
}

// Three seconds of random response, two of input: the output's error against a direct
// convolution in double precision, at samples spread over the whole output (head, body and
// tail), within a millionth of the output's RMS.
TEST(Convolution, LongRandomResponseMatchesADirectConvolution)
{
    auto h = noise(3 * 48000, 3, 0.05f);
    for (std::size_t n = 0; n < h.size(); ++n)
        h[n] *= static_cast<float>(std::exp(-3.0 * static_cast<double>(n) / static_cast<double>(h.size())));
    const auto x = noise(2 * 48000, 4);
    for (const Partitioning p : kBothPartitionings)
    {
        const auto y = render(impulseOf({h}), 1, x, p);
        ASSERT_EQ(y.size(), x.size() + h.size() - 1);
        double power = 0.0;
        for (float v : y)
            power += static_cast<double>(v) * v;
        const double rms = std::sqrt(power / static_cast<double>(y.size()));
        double error = 0.0, worst = 0.0;
        std::size_t checked = 0;
        for (std::size_t n = 0; n < y.size(); n += 157, ++checked)
        {
            const double e = y[n] - direct(h, x, n);
            error += e * e;
            worst = std::max(worst, std::abs(e));
        }
        EXPECT_LT(std::sqrt(error / static_cast<double>(checked)), 1e-6 * rms);
        EXPECT_LT(worst, 1e-5 * rms);
    }
}

TEST(Convolution, PiecesOfAnySizeGiveTheSameSamplesAsOnePiece)
{
    const auto h = noise(20000, 5, 0.1f);
    const auto x = noise(2 * 70001, 6);
    for (const Partitioning p : kBothPartitionings)
    {
        const auto ir = impulseOf({h, noise(20000, 7, 0.1f)});
        const auto whole = render(ir, 2, x, p, {35.0, 12.5});
        Space space(ir, 2, {35.0, 12.5}, p);
        std::vector<float> pieces;
        transmission::SeededRandom random(8);
        const std::size_t sizes[] = {1, 3, 63, 64, 65, 511, 8191, 8192, 8193, 20000};
        for (std::size_t at = 0; at < x.size() / 2;)
        {
            const std::size_t n = std::min(sizes[random.next() % std::size(sizes)], x.size() / 2 - at);
            space.process(x.data() + 2 * at, n, pieces);
            at += n;
        }
        space.finish(pieces);
        ASSERT_EQ(pieces.size(), whole.size());
        EXPECT_EQ(std::memcmp(pieces.data(), whole.data(), whole.size() * sizeof(float)), 0);
    }
}

// Renders on eight threads at once, each with its own space, and a run alone: the same bytes.
TEST(Convolution, EveryRunAndThreadGivesTheSameBytes)
{
    const auto ir = impulseOf({noise(60000, 9, 0.05f), noise(60000, 10, 0.05f)});
    const auto x = noise(2 * 50000, 11);
    for (const Partitioning p : kBothPartitionings)
    {
        const auto alone = render(ir, 2, x, p);
        std::vector<std::vector<float>> results(8);
        std::vector<std::thread> threads;
        for (auto& result : results)
            threads.emplace_back([&, p] { result = render(ir, 2, x, p); });
        for (auto& t : threads)
            t.join();
        for (const auto& result : results)
        {
            ASSERT_EQ(result.size(), alone.size());
            EXPECT_EQ(std::memcmp(result.data(), alone.data(), alone.size() * sizeof(float)), 0);
        }
    }
}

TEST(Convolution, MixBlendsDryAndWetAndPredelayDelaysOnlyTheWet)
{
    const auto x = noise(10000, 12);
    // Wet 30 %: 0.7 x[n] + 0.3 x[n - 960] (20 ms later).
    const auto y = render(impulseOf({unitAt(0)}), 1, x, Partitioning::LargeBlocks, {30.0, 20.0});
    ASSERT_EQ(y.size(), x.size() + 960);
    for (std::size_t n = 0; n < y.size(); ++n)
    {
        const float expected = (n < x.size() ? 0.7f * x[n] : 0.f) + (n >= 960 ? 0.3f * x[n - 960] : 0.f);
        ASSERT_NEAR(y[n], expected, kRounding) << "sample " << n;
    }
    // Dry alone: the input as it is, and the tail silent.
    const auto dry = render(impulseOf({unitAt(100)}), 1, x, Partitioning::LargeBlocks, {0.0, 0.0});
    ASSERT_EQ(dry.size(), x.size() + 100);
    EXPECT_EQ(std::memcmp(dry.data(), x.data(), x.size() * sizeof(float)), 0);
    EXPECT_TRUE(std::all_of(dry.begin() + static_cast<std::ptrdiff_t>(x.size()), dry.end(), [](float v) { return v == 0.f; }));
}

// Left ear 10 samples late, right ear 20: a stereo line ear by ear, a mono line the mean of
// the ears; a one-channel response serves both channels alike.
TEST(Convolution, ChannelsMeetTheResponsesEars)
{
    std::vector<float> left = unitAt(10), right = unitAt(20);
    left.resize(21, 0.f);
    const auto ears = impulseOf({left, right});
    const auto mono = noise(5000, 13);
    const auto stereo = noise(2 * 5000, 14);
    const auto near = [](float a, float b) { return std::abs(a - b) <= kRounding; };

    const auto s = render(ears, 2, stereo, Partitioning::LargeBlocks);
    ASSERT_EQ(s.size(), stereo.size() + 2 * 20);
    for (std::size_t n = 20; n < 5000; ++n)
    {
        ASSERT_TRUE(near(s[2 * n], stereo[2 * (n - 10)])) << n;
        ASSERT_TRUE(near(s[2 * n + 1], stereo[2 * (n - 20) + 1])) << n;
    }
    const auto m = render(ears, 1, mono, Partitioning::LargeBlocks);
    for (std::size_t n = 20; n < 5000; ++n)
        ASSERT_TRUE(near(m[n], 0.5f * mono[n - 10] + 0.5f * mono[n - 20])) << n;
    const auto shared = render(impulseOf({unitAt(10)}), 2, stereo, Partitioning::LargeBlocks);
    for (std::size_t n = 10; n < 5000; ++n)
    {
        ASSERT_TRUE(near(shared[2 * n], stereo[2 * (n - 10)])) << n;
        ASSERT_TRUE(near(shared[2 * n + 1], stereo[2 * (n - 10) + 1])) << n;
    }
}

TEST(Convolution, SamplesThatAreNotFiniteEnterAsSilence)
{
    auto x = noise(3000, 15);
    x[100] = NAN;
    x[200] = INFINITY;
    const auto y = render(impulseOf({noise(5000, 16, 0.1f)}), 1, x, Partitioning::LargeBlocks);
    EXPECT_TRUE(std::all_of(y.begin(), y.end(), [](float v) { return std::isfinite(v); }));
    x[100] = 0.f;
    x[200] = 0.f;
    const auto clean = render(impulseOf({noise(5000, 16, 0.1f)}), 1, x, Partitioning::LargeBlocks);
    EXPECT_EQ(std::memcmp(y.data(), clean.data(), y.size() * sizeof(float)), 0);
}

TEST(Convolution, AFirstPartitionOfAnyPowerOfTwoGivesTheTwoTapSumAndHoldsBackABlock)
{
    // A live caller's first partition, from the smallest to the largest: the same known
    // answer, a block less a frame held back; a caller's largest buffer rounds up to one.
    std::vector<float> h(3001, 0.f);
    h[0] = 0.5f;
    h[3000] = -0.25f;
    const auto x = noise(20000, 19);
    for (std::size_t first : {std::size_t{64}, std::size_t{512}, std::size_t{2048}, std::size_t{8192}})
    {
        Space space(impulseOf({h}), 1, {}, first);
        EXPECT_EQ(space.heldBackFrames(), first - 1);
        const auto y = render(space, x);
        ASSERT_EQ(y.size(), x.size() + 3000);
        for (std::size_t n = 0; n < y.size(); ++n)
        {
            const float expected = (n < x.size() ? 0.5f * x[n] : 0.f) - (n >= 3000 ? 0.25f * x[n - 3000] : 0.f);
            ASSERT_NEAR(y[n], expected, kRounding) << "first partition " << first << ", sample " << n;
        }
        EXPECT_EQ(space.lateBlocks(), 0u);
    }
    EXPECT_EQ(firstPartitionFor(0), 64u);
    EXPECT_EQ(firstPartitionFor(64), 64u);
    EXPECT_EQ(firstPartitionFor(65), 128u);
    EXPECT_EQ(firstPartitionFor(480), 512u);
    EXPECT_EQ(firstPartitionFor(4096), 4096u);
    EXPECT_EQ(firstPartitionFor(100000), 8192u);
    EXPECT_EQ(firstPartitionOf(Partitioning::SmallBlocks), 64u);
    EXPECT_EQ(firstPartitionOf(Partitioning::LargeBlocks), 8192u);
    for (std::size_t bad : {std::size_t{0}, std::size_t{32}, std::size_t{100}, std::size_t{16384}})
        EXPECT_THROW(Space(impulseOf({h}), 1, {}, bad), std::invalid_argument) << bad;
}

TEST(Convolution, TailIsTheResponseAfterTheLastFrame)
{
    Space space(impulseOf({noise(12345, 17)}), 2, {50.0, 10.0});
    EXPECT_EQ(space.tailFrames(), 480u + 12345u - 1u);
    EXPECT_EQ(space.heldBackFrames(), 8191u);
    std::vector<float> out;
    const auto x = noise(2 * 100, 18);
    space.process(x.data(), 100, out);
    EXPECT_TRUE(out.empty()); // still within the first block
    space.finish(out);
    EXPECT_EQ(out.size(), 2 * (100 + space.tailFrames()));
    EXPECT_EQ(Space(impulseOf({unitAt(0)}), 1, {}, Partitioning::SmallBlocks).heldBackFrames(), 63u);
}
} // namespace
} // namespace space
