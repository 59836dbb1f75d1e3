// Metering on a thread of its own gives the figures metering inline gives, bit for bit.
#include "cli/metering/PipelinedLevelMeter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace
{
constexpr std::uint32_t kRate = 48000;

// Noise with bursts beyond full scale, so that every figure (clipping too) has something to count.
std::vector<float> programme(std::uint32_t channels, std::size_t frames)
{
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.f, 0.2f);
    std::vector<float> x(frames * channels);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = noise(random) * ((i / 4096) % 9 == 0 ? 8.f : 1.f);
    return x;
}

// Feeds `x` in pieces of the given sizes, in turn, and answers the figures.
template <typename Meter>
Levels feed(Meter& meter, const std::vector<float>& x, std::uint32_t channels, std::vector<std::uint32_t> pieces)
{
    const std::size_t frames = x.size() / channels;
    for (std::size_t at = 0, k = 0; at < frames; ++k)
    {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(pieces[k % pieces.size()], frames - at));
        meter.add(x.data() + at * channels, n);
        at += n;
    }
    return meter.levels();
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectSame(const Levels& a, const Levels& b)
{
    EXPECT_TRUE(sameBits(a.loudnessLufs, b.loudnessLufs)) << a.loudnessLufs << " vs " << b.loudnessLufs;
    EXPECT_TRUE(sameBits(a.peakDbfs, b.peakDbfs)) << a.peakDbfs << " vs " << b.peakDbfs;
    EXPECT_TRUE(sameBits(a.truePeakDbtp, b.truePeakDbtp)) << a.truePeakDbtp << " vs " << b.truePeakDbtp;
    EXPECT_EQ(a.clippedSamples, b.clippedSamples);
}
} // namespace

TEST(PipelinedLevelMeter, AsideMeasuresWhatInlineMeasures)
{
    // Several times the queue's worth of chunks, in buffer sizes that straddle chunk edges.
    const std::size_t frames = 9 * ChunkConveyor::kChunkFrames + 1234;
    for (const std::uint32_t channels : {1u, 2u, 6u})
    {
        SCOPED_TRACE(channels);
        const auto x = programme(channels, frames);
        LevelMeter plain(channels, kRate, LevelMeter::Measure::Everything);
        const Levels expected = feed(plain, x, channels, {512});
        EXPECT_GT(expected.clippedSamples, 0u);
        EXPECT_GT(expected.truePeakDbtp, 0.0);
        for (const bool aside : {false, true})
        {
            PipelinedLevelMeter pipelined(channels, kRate, LevelMeter::Measure::Everything, aside);
            expectSame(feed(pipelined, x, channels, {512, 37, 20000, 1}), expected);
        }
    }
}

TEST(PipelinedLevelMeter, FiguresMidwayAndAfterMore)
{
    const std::uint32_t channels = 2;
    const auto x = programme(channels, 3 * ChunkConveyor::kChunkFrames);
    const std::vector<float> firstHalf(x.begin(), x.begin() + x.size() / 2);
    LevelMeter plainHalf(channels, kRate, LevelMeter::Measure::Loudness);
    LevelMeter plainWhole(channels, kRate, LevelMeter::Measure::Loudness);
    PipelinedLevelMeter pipelined(channels, kRate, LevelMeter::Measure::Loudness, true);
    expectSame(feed(pipelined, firstHalf, channels, {700}), feed(plainHalf, firstHalf, channels, {512}));
    const std::vector<float> secondHalf(x.begin() + x.size() / 2, x.end());
    expectSame(feed(pipelined, secondHalf, channels, {700}), feed(plainWhole, x, channels, {512}));
}

// An interrupted render drops its meter without asking for the figures: the conveyor under
// it finishes the chunk in hand and drops the chunks queued behind it instead of measuring
// them first.
TEST(PipelinedLevelMeter, AbandonedWithWorkQueuedEndsPromptly)
{
    const std::uint32_t channels = 2;
    std::mutex lock;
    std::condition_variable changed;
    int started = 0;
    bool release = false;
    auto conveyor = std::make_unique<ChunkConveyor>(
        channels,
        [&](const float*, std::uint32_t) {
            std::unique_lock<std::mutex> hold(lock);
            ++started;
            changed.notify_all();
            changed.wait(hold, [&] { return release; });
        },
        true);
    // One chunk in the consumer's hands, two queued behind it.
    const std::vector<float> x(3 * ChunkConveyor::kChunkFrames * channels, 0.25f);
    conveyor->add(x.data(), 3 * ChunkConveyor::kChunkFrames);
    {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait(hold, [&] { return started == 1; });
    }

    std::atomic<bool> abandoning{false};
    std::thread abandon([&] {
        abandoning = true;
        conveyor.reset();
    });
    while (!abandoning)
        std::this_thread::yield();
    // Let the destructor drop the queue, then let the chunk in hand finish.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::lock_guard<std::mutex> hold(lock);
        release = true;
    }
    changed.notify_all();
    abandon.join();
    EXPECT_EQ(conveyor, nullptr);
    EXPECT_EQ(started, 1) << "the queued chunks were consumed before the conveyor ended";
}

TEST(PipelinedLevelMeter, NothingAddedReadsAsSilence)
{
    PipelinedLevelMeter pipelined(2, kRate, LevelMeter::Measure::Everything, true);
    const Levels l = pipelined.levels();
    EXPECT_EQ(l.loudnessLufs, -HUGE_VAL);
    EXPECT_EQ(l.peakDbfs, -HUGE_VAL);
    EXPECT_EQ(l.clippedSamples, 0u);
}
