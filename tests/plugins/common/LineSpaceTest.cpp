// Crumlet Line's space: the parameters that choose it and keep its distance inside the room;
// the line heard in it, which is space::Space on the line's output later by the frames the
// convolution holds back (a block of the largest buffer: the same samples with that first
// partition; the render's large blocks within rounding); its mix, gliding in the line playing;
// a change of room handed over as a new line within a known number of buffers; and bad values
// kept safe.
#include "plugins/common/LineEngine.h"
#include "plugins/common/LineSession.h"
#include "plugins/common/LineSpace.h"
#include "space/ImpulseCache.h"
#include "space/RoomImpulse.h"
#include "space/Space.h"
#include "space/SpaceCatalogue.h"
#include "tests/plugins/common/LineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
using namespace plugins;
using namespace line_test;

constexpr double kRate = 48000.0;

LineValues withSpace(LineValues v, const std::string& room, float mix, float distance = 0.f)
{
    v[kLineSpace] = spaceValue(room);
    v[kLineMix] = mix;
    v[kLineDistance] = distance;
    return v;
}

// space::Space over planar channels in one go, with the first partition given and the
// setup's room, distance and mix; planar, as long as the input.
std::vector<std::vector<float>> inSpace(const LineSpaceSetup& setup, const std::vector<std::vector<float>>& x,
                                        std::size_t firstPartition)
{
    const std::size_t frames = x[0].size(), channels = x.size();
    space::SpaceSettings settings;
    settings.source = space::spaceCatalogue()[static_cast<std::size_t>(setup.room)].name;
    settings.distance = setup.distance;
    space::Space room(space::ImpulseCache::shared().impulseFor(settings, kRate, static_cast<unsigned>(channels)),
                      static_cast<unsigned>(channels), space::Blend{setup.mixPercent, 0.0}, firstPartition);
    std::vector<float> interleaved(frames * channels), out;
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels; ++c)
            interleaved[i * channels + c] = x[c][i];
    room.process(interleaved.data(), frames, out);
    room.finish(out);
    std::vector<std::vector<float>> y(channels, std::vector<float>(frames));
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels; ++c)
            y[c][i] = out[i * channels + c];
    return y;
}

// The frames the line's space holds back in buffers of `block`.
std::size_t heldBack(std::size_t block) { return space::firstPartitionFor(block) - 1; }

// Samples of `y` in frames [from, to) (to the end when `to` is 0) that differ from
// `reference` `lag` frames earlier; frames before the lag must be silence.
std::size_t differing(const std::vector<std::vector<float>>& y, const std::vector<std::vector<float>>& reference,
                      std::size_t lag, std::size_t from = 0, std::size_t to = 0)
{
    std::size_t count = 0;
    for (std::size_t c = 0; c < y.size(); ++c)
    {
        const std::size_t end = to == 0 ? y[c].size() : std::min(to, y[c].size());
        for (std::size_t i = from; i < end; ++i)
            count += y[c][i] != (i < lag ? 0.f : reference[c][i - lag]) ? 1 : 0;
    }
    return count;
}

std::vector<std::vector<float>> firstChannels(std::vector<std::vector<float>> x, std::size_t channels)
{
    x.resize(channels);
    return x;
}
} // namespace

TEST(LineSpaceParameters, TheCatalogueInItsOrderAndDistancesThatFitTheRoom)
{
    const auto& catalogue = space::spaceCatalogue();
    const auto& choices = lineParameters()[kLineSpace].choices;
    ASSERT_EQ(choices.size(), catalogue.size() + 1);
    EXPECT_EQ(choices[0], "off");
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        EXPECT_EQ(choices[i + 1], catalogue[i].name);

    // Every room at the farthest the parameter reaches (and beyond it, and at infinity) fits:
    // the line's space is made, never refused.
    const float farthest = lineParameters()[kLineDistance].maxValue;
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        for (float asked : {farthest, 1e6f, std::numeric_limits<float>::infinity()})
        {
            LineValues v = withSpace(defaultLineValues(), catalogue[i].name, 100.f, clampedLineValue(kLineDistance, asked));
            const LineSpaceSetup setup = lineSetupOf(v).space;
            ASSERT_TRUE(setup.distance.has_value());
            EXPECT_LE(*setup.distance, space::longestDistance(catalogue[i])) << catalogue[i].name;
            EXPECT_GE(*setup.distance, space::longestDistance(catalogue[i]) - 0.1) << catalogue[i].name;
            if (asked == farthest)
            {
                EXPECT_NO_THROW(LineSpace(setup, kRate, 1, 256)) << catalogue[i].name;
            }
        }
    // To the nearest 10 cm, at least 10 cm; 0, a negative distance or NaN is the room's own.
    auto distanceFor = [](float metres) {
        return lineSetupOf(withSpace(defaultLineValues(), "station", 100.f, clampedLineValue(kLineDistance, metres)))
            .space.distance;
    };
    EXPECT_DOUBLE_EQ(distanceFor(7.26f).value(), 7.3);
    EXPECT_DOUBLE_EQ(distanceFor(0.01f).value(), 0.1);
    for (float own : {0.f, -3.f, std::nanf("")})
        EXPECT_FALSE(distanceFor(own).has_value()) << own;

    // Without a space its distance and mix are nothing: moving them makes no new line.
    LineValues off = defaultLineValues();
    off[kLineDistance] = 5.f;
    off[kLineMix] = 20.f;
    EXPECT_FALSE(lineSetupOf(off).space.active());
    EXPECT_TRUE(LineEngine::follows(lineSetupOf(defaultLineValues()), lineSetupOf(off)));
    // With one, the mix is followed; the room and the distance make a new line.
    const LineSetup station = lineSetupOf(withSpace(defaultLineValues(), "station", 100.f));
    EXPECT_TRUE(LineEngine::follows(station, lineSetupOf(withSpace(defaultLineValues(), "station", 30.f))));
    EXPECT_FALSE(LineEngine::follows(station, lineSetupOf(withSpace(defaultLineValues(), "station", 100.f, 9.f))));
    EXPECT_FALSE(LineEngine::follows(station, lineSetupOf(withSpace(defaultLineValues(), "church", 100.f))));
    EXPECT_FALSE(LineEngine::follows(station, lineSetupOf(defaultLineValues())));
}

TEST(LineSpace, TheLineInTheSpaceIsSpaceOnTheLinesOutputLaterByItsHeldBackFrames)
{
    // Mono and stereo, with and without a codec (loss and the radio riding along), in a DAW's
    // buffers and odd ones, the space alone and mixed, at the room's distance and another:
    // the output is space::Space with a first partition of the buffer's size (rounded up to
    // a power of two) run on the line without the space, later by the space's held-back
    // frames, sample for sample.
    const auto speech = stereoSpeech(kRate, 1.5);
    struct Case
    {
        const char* codec;
        const char* room;
        float mix, distance;
    };
    const Case cases[] = {{"none", "station", 100.f, 0.f}, {"gsm", "church", 35.f, 0.f}, {"none", "car", 60.f, 1.2f},
                          {"opus:24k", "next-room", 100.f, 3.f}};
    for (const Case& k : cases)
    {
        if (!available(k.codec))
            continue;
        for (std::size_t channels : {std::size_t{1}, std::size_t{2}})
            for (std::size_t block : {std::size_t{512}, std::size_t{100}, std::size_t{32}})
            {
                LineValues v = valuesFor(k.codec);
                if (std::string(k.codec) != "none")
                {
                    v[kLineLoss] = 10.f;
                    v[kLineRadio] = 1.f;
                }
                const LineSetup plain = lineSetupOf(v);
                const LineSetup setup = lineSetupOf(withSpace(v, k.room, k.mix, k.distance));
                const std::size_t transmitted = LineEngine::measureLatency(plain.settings.codec, kRate);
                const auto x = firstChannels(speech, channels);
                LineEngine line(plain, kRate, static_cast<unsigned>(channels), block, transmitted);
                LineEngine heard(setup, kRate, static_cast<unsigned>(channels), block, transmitted);
                ASSERT_EQ(heard.latency(), transmitted + heldBack(block)) << k.room;
                const auto y = runEngine(heard, x, block);
                const auto reference = inSpace(setup.space, runEngine(line, x, block), heldBack(block) + 1);
                EXPECT_EQ(differing(y, reference, heldBack(block)), 0u)
                    << k.codec << " in the " << k.room << ", " << channels << " channels, buffers of " << block;
                EXPECT_EQ(heard.lateBlocks(), 0u);
            }
    }
}

TEST(LineSpace, AgreesWithTheRenderOrderTransmissionThenSpaceInLargeBlocks)
{
    // The render's order, each stage in one go: the transmission (the radio here: a codec's
    // line starts with what it made of the warm-up's silence, which the space then hears),
    // then the space in its large blocks. The line's output is that, later by its latency,
    // within the partitionings' rounding.
    const auto x = stereoSpeech(kRate, 1.5);
    LineValues v = defaultLineValues();
    v[kLineRadio] = 1.f;
    v[kLineStatic] = -30.f;
    const LineSetup setup = lineSetupOf(withSpace(v, "stairwell", 70.f));
    LineEngine heard(setup, kRate, 2, 480, LineEngine::measureLatency(setup.settings.codec, kRate));
    const auto y = runEngine(heard, x, 480);
    const auto reference = inSpace(setup.space, renderOffline(setup, kRate, x, LineEngine::warmUpFrames(kRate, 480)),
                                   space::firstPartitionOf(space::Partitioning::LargeBlocks));
    const std::size_t latency = heard.latency();
    ASSERT_EQ(latency, heldBack(480));
    float worst = 0.f, loudest = 0.f;
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = latency; i < y[c].size(); ++i)
        {
            worst = std::max(worst, std::fabs(y[c][i] - reference[c][i - latency]));
            loudest = std::max(loudest, std::fabs(y[c][i]));
        }
    EXPECT_GT(loudest, 0.05f);
    EXPECT_LT(worst, 1e-6f) << "loudest " << loudest;
}

TEST(LineSpace, MixZeroIsTheLineAloneAndAMixChangeGlidesInTheLinePlaying)
{
    const auto x = stereoSpeech(kRate, 1.5);
    const LineSetup plain = lineSetupOf(defaultLineValues());
    LineEngine line(plain, kRate, 2, 480, 0);
    const auto alone = runEngine(line, x, 480);

    // Mix 0: the line, later by the space's held-back frames.
    LineEngine dry(lineSetupOf(withSpace(defaultLineValues(), "bathroom", 0.f)), kRate, 2, 480, 0);
    const std::size_t held = heldBack(480);
    EXPECT_EQ(differing(runEngine(dry, x, 480), alone, held), 0u);

    // 30 % for the first half second, then 80 %: the new share arrives over 20 ms, between the
    // two on its way, and from then on the samples are those of the space at 80 %.
    const LineSetup at30 = lineSetupOf(withSpace(defaultLineValues(), "bathroom", 30.f));
    const LineSetup at80 = lineSetupOf(withSpace(defaultLineValues(), "bathroom", 80.f));
    ASSERT_TRUE(LineEngine::follows(at30, at80));
    LineEngine heard(at30, kRate, 2, 480, 0);
    std::vector<std::vector<float>> y = x;
    std::vector<float*> pointers(2);
    const std::size_t change = 24000, glide = 960;
    for (std::size_t at = 0; at < y[0].size(); at += 480)
    {
        if (at == change)
            heard.follow(at80);
        for (std::size_t c = 0; c < 2; ++c)
            pointers[c] = y[c].data() + at;
        heard.process(pointers.data(), std::min<std::size_t>(480, y[0].size() - at));
    }
    const auto ref30 = inSpace(at30.space, alone, held + 1);
    const auto ref80 = inSpace(at80.space, alone, held + 1);
    EXPECT_EQ(differing(y, ref30, held, 0, change), 0u);
    EXPECT_EQ(differing(y, ref80, held, change + glide), 0u);
    std::size_t outside = 0;
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = change; i < change + glide; ++i)
        {
            const float a = ref30[c][i - held], b = ref80[c][i - held];
            outside += y[c][i] < std::min(a, b) - 1e-6f || y[c][i] > std::max(a, b) + 1e-6f ? 1 : 0;
        }
    EXPECT_EQ(outside, 0u);
}

TEST(LineSession, ASpaceChangeIsANewLineWithinBoundedBuffersAndTheMixIsNot)
{
    // Rendering (the space waits for its workers), so that the samples can be compared.
    LineSession session(2);
    const LineValues station = withSpace(defaultLineValues(), "station", 100.f);
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        session.setValue(i, station[i]);
    session.prepare(kRate, 480);
    session.setOffline(true);
    EXPECT_EQ(session.latency(), heldBack(480));
    const std::size_t stationTail = session.spaceTailFrames();
    EXPECT_GT(stationTail, static_cast<std::size_t>(2.0 * kRate));

    std::vector<std::vector<float>> x = stereoSpeech(kRate, 3.0);
    const std::vector<std::vector<float>> input = x;
    std::vector<float*> pointers(2);
    std::size_t at = 0;
    auto play = [&](std::size_t buffers) {
        for (std::size_t b = 0; b < buffers && at + 480 <= x[0].size(); ++b, at += 480)
        {
            for (std::size_t c = 0; c < 2; ++c)
                pointers[c] = x[c].data() + at;
            session.process(pointers.data(), 480);
        }
    };
    play(50);

    // The mix: the line playing follows it.
    session.setValue(kLineMix, 40.f);
    ASSERT_TRUE(session.waitUntilCurrent(5000));
    play(10);
    EXPECT_EQ(session.linesMade(), 1u);

    // Another room: a new line, taken by the next buffer; once the old line has faded out
    // (its latency and 20 ms: four buffers here) the output is that of a line made with the
    // car and started at that buffer.
    session.setValue(kLineSpace, spaceValue("car"));
    ASSERT_TRUE(session.waitUntilCurrent(10000));
    EXPECT_EQ(session.linesMade(), 2u);
    EXPECT_EQ(session.latency(), heldBack(480));
    EXPECT_LT(session.spaceTailFrames(), stationTail);
    const std::size_t changed = at;
    play(60);
    const LineSetup car = lineSetupOf(session.values());
    LineEngine fresh(car, kRate, 2, 480, 0);
    std::vector<std::vector<float>> from(2);
    for (std::size_t c = 0; c < 2; ++c)
        from[c].assign(input[c].begin() + static_cast<std::ptrdiff_t>(changed),
                       input[c].begin() + static_cast<std::ptrdiff_t>(at));
    const auto expected = runEngine(fresh, from, 480);
    const std::size_t bounded = (heldBack(480) + 960 + 479) / 480 * 480;
    EXPECT_EQ(bounded, 4u * 480);
    std::size_t mismatches = 0;
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = bounded; i < expected[c].size(); ++i)
            mismatches += x[c][changed + i] != expected[c][i] ? 1 : 0;
    EXPECT_EQ(mismatches, 0u);

    // The distance: a new line too.
    session.setValue(kLineDistance, 1.f);
    ASSERT_TRUE(session.waitUntilCurrent(10000));
    EXPECT_EQ(session.linesMade(), 3u);
    play(20);
    EXPECT_EQ(session.shortfalls(), 0u);
    EXPECT_EQ(session.lateBlocks(), 0u);
    session.release();
}

TEST(LineSession, NonFiniteAndOutOfRangeSpaceValuesStaySafe)
{
    // Whatever a host sends to the space's parameters, a line is made and plays finite
    // samples, and its latency is the line's with or without a space.
    const float bad[] = {std::nanf(""), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                         1e30f, -1e30f, 7.5f};
    std::vector<std::vector<float>> x = stereoSpeech(kRate, 0.5);
    std::vector<float*> pointers(2);
    for (float value : bad)
    {
        LineSession session(2);
        session.setValue(kLineSpace, value);
        session.setValue(kLineMix, value);
        session.setValue(kLineDistance, value);
        session.prepare(kRate, 480);
        session.setOffline(true);
        for (std::size_t i = 0; i < kLineParameterCount; ++i)
        {
            const float held = session.value(i);
            EXPECT_TRUE(std::isfinite(held) && held >= lineParameters()[i].minValue && held <= lineParameters()[i].maxValue)
                << lineParameters()[i].id << " for " << value;
        }
        EXPECT_TRUE(session.latency() == 0u || session.latency() == heldBack(480)) << session.latency();
        auto y = x;
        for (std::size_t at = 0; at + 480 <= y[0].size(); at += 480)
        {
            for (std::size_t c = 0; c < 2; ++c)
                pointers[c] = y[c].data() + at;
            session.process(pointers.data(), 480);
        }
        for (const auto& channel : y)
            for (float s : channel)
                ASSERT_TRUE(std::isfinite(s)) << value;
        session.release();
    }
}
