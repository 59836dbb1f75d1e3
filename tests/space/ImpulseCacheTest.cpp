// The cache of impulse responses: each made once per process, however many ask and from how
// many threads; a changed file read again; a failed load not kept; the budget kept.
#include "space/ImpulseCache.h"
#include "space/SpaceError.h"
#include "tests/cli/ScratchFolderTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace space
{
namespace
{
class ImpulseCacheTest : public ScratchFolderTest
{
protected:
    std::string writeUnit(const std::string& name, std::size_t delay)
    {
        std::vector<float> h(delay + 1, 0.f);
        h[delay] = 1.f;
        SndfileHandle(path(name), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000)
            .writef(h.data(), static_cast<sf_count_t>(h.size()));
        return path(name);
    }
};

TEST_F(ImpulseCacheTest, MakesEachResponseOnceForEveryoneWhoAsks)
{
    ImpulseCache cache;
    const auto station = parseSpace("station:mix=40");
    std::vector<std::shared_ptr<const ImpulseResponse>> got(8);
    std::vector<std::thread> threads;
    for (auto& g : got)
        threads.emplace_back([&] { g = cache.impulseFor(station, 48000, 2); });
    for (auto& t : threads)
        t.join();
    for (const auto& g : got)
        EXPECT_EQ(g, got.front());
    EXPECT_EQ(cache.loads(), 1u);
    // The mix and the predelay are the space's, not the response's.
    EXPECT_EQ(cache.impulseFor(parseSpace("station:predelay=30"), 48000, 2), got.front());
    // Another rate, ear count or distance is another response.
    EXPECT_NE(cache.impulseFor(station, 44100, 2), got.front());
    EXPECT_EQ(cache.impulseFor(station, 48000, 1)->channels.size(), 1u);
    EXPECT_EQ(cache.impulseFor(station, 48000, 6)->channels.size(), 2u);
    EXPECT_NE(cache.impulseFor(parseSpace("station:distance=5"), 48000, 2), got.front());
    EXPECT_EQ(cache.loads(), 4u);
}

TEST_F(ImpulseCacheTest, ReadsAChangedFileAgainAndKeepsNoFailure)
{
    ImpulseCache cache;
    const SpaceSettings settings = parseSpace(path("room.wav"));
    EXPECT_THROW(cache.impulseFor(settings, 48000, 1), SpaceError);
    writeUnit("room.wav", 10);
    const auto first = cache.impulseFor(settings, 48000, 1);
    EXPECT_EQ(first->frames(), 11u);
    EXPECT_EQ(cache.impulseFor(settings, 48000, 1), first);
    // Rewritten, with a later time and another size.
    std::filesystem::last_write_time(path("room.wav"),
                                     std::filesystem::last_write_time(path("room.wav")) - std::chrono::seconds(10));
    writeUnit("room.wav", 20);
    const auto second = cache.impulseFor(settings, 48000, 1);
    EXPECT_EQ(second->frames(), 21u);
    EXPECT_EQ(first->frames(), 11u); // its users keep the one they had
    EXPECT_NE(cache.impulseFor(parseSpace(path("room.wav") + ":normalize"), 48000, 1), second);
}

TEST_F(ImpulseCacheTest, LetsGoOfTheLeastRecentlyUsedPastItsBudget)
{
    ImpulseCache cache(1000); // bytes: one response of 101 floats and another fit, not three
    const auto a = parseSpace(writeUnit("a.wav", 100));
    const auto b = parseSpace(writeUnit("b.wav", 100));
    const auto c = parseSpace(writeUnit("c.wav", 100));
    const auto first = cache.impulseFor(a, 48000, 1);
    cache.impulseFor(b, 48000, 1);
    cache.impulseFor(a, 48000, 1); // a used last: b goes when c comes
    cache.impulseFor(c, 48000, 1);
    EXPECT_EQ(cache.loads(), 3u);
    EXPECT_EQ(cache.impulseFor(a, 48000, 1), first);
    EXPECT_EQ(cache.loads(), 3u);
    cache.impulseFor(b, 48000, 1);
    EXPECT_EQ(cache.loads(), 4u);
}
} // namespace
} // namespace space
