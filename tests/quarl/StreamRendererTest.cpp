// The stand-in host's stream runner: buffer framing, the end-of-input mark, the tail
// loop, stopping, and playing on while the output rings, checked against scripted effects.
#include "quarl/StreamRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

using namespace ZQ::Quarl;

namespace
{
// An effect whose every operation but processing answers plainly.
class PlainEffect : public IEffectPlugin
{
public:
    void* DeletingDestructor(unsigned int) noexcept override { return this; }
    Result Term(IAllocator*) noexcept override { return Success; }
    Result Reset() noexcept override { return Success; }
    Result GetPluginInfo(PluginInfo&) noexcept override { return Success; }
    bool SupportsMonitoring() noexcept override { return false; }
    std::uint32_t GetLatency() noexcept override { return 0; }
    Result Init(IAllocator*, IProcessingContext*, IEffectParams*, const AudioFormat&) noexcept override { return Success; }
    Result TimeSkip(std::uint32_t&) noexcept override { return DataReady; }
};

// Doubles every valid sample; after the end of input pads `tailBuffers` whole buffers
// with silence, asking for more while any remain.
class ScriptedEffect final : public PlainEffect
{
public:
    explicit ScriptedEffect(std::uint64_t tailBuffers = 0, Result failOn = 0) : m_tail(tailBuffers), m_failOn(failOn) {}

    void Execute(AudioBuffer& b) noexcept override
    {
        seen.emplace_back(b.validFrames, b.state);
        for (std::uint32_t c = 0; c < b.channelCount; ++c)
            for (std::uint32_t i = 0; i < b.validFrames; ++i)
                b.channel(c)[i] *= 2.f;
        if (m_failOn != 0 && seen.size() == 2)
            b.state = m_failOn;
        if (b.state == NoMoreData && m_tail > 0)
        {
            for (std::uint32_t c = 0; c < b.channelCount; ++c)
                std::fill(b.channel(c) + b.validFrames, b.channel(c) + b.maxFrames, 0.f);
            b.validFrames = b.maxFrames;
            if (--m_tail > 0)
                b.state = DataReady;
        }
    }

    std::vector<std::pair<std::uint32_t, Result>> seen;

private:
    std::uint64_t m_tail;
    Result m_failOn;
};

// A source of `total` stereo frames (value = frame index, right channel negated),
// delivering at most `chunk` frames per call.
quarl::StreamRenderer::Source rampSource(std::uint32_t total, std::uint32_t chunk, std::uint32_t& position)
{
    return [total, chunk, &position](float* out, std::uint32_t frames) {
        const std::uint32_t n = std::min({frames, chunk, total - position});
        for (std::uint32_t i = 0; i < n; ++i)
        {
            out[2 * i] = static_cast<float>(position + i);
            out[2 * i + 1] = -static_cast<float>(position + i);
        }
        position += n;
        return n;
    };
}

using Seen = std::vector<std::pair<std::uint32_t, Result>>;
} // namespace

TEST(StreamRenderer, FramesBuffersAndMarksTheLast)
{
    struct Case
    {
        std::uint32_t total, chunk;
        Seen expected;
    };
    const Case cases[] = {
        {1000, 1000, {{256, Success}, {256, Success}, {256, Success}, {232, NoMoreData}}},
        {512, 512, {{256, Success}, {256, NoMoreData}}},    // a full last buffer is still marked
        {300, 7, {{256, Success}, {44, NoMoreData}}},       // a trickling source still fills buffers
        {0, 1, {{0, NoMoreData}}},
    };
    for (const Case& c : cases)
    {
        ScriptedEffect effect;
        quarl::StreamRenderer renderer(effect, 2, 256);
        std::uint32_t position = 0;
        std::vector<float> out;
        const quarl::RenderResult r = renderer.run(rampSource(c.total, c.chunk, position), [&](const float* s, std::uint32_t n) {
            out.insert(out.end(), s, s + 2 * n);
            return true;
        });
        EXPECT_EQ(effect.seen, c.expected) << c.total;
        EXPECT_EQ(r.status, Success);
        EXPECT_EQ(r.inputFrames, c.total);
        EXPECT_EQ(r.outputFrames, c.total);
        EXPECT_EQ(r.buffers, c.expected.size());
        ASSERT_EQ(out.size(), 2u * c.total);
        for (std::uint32_t i = 0; i < c.total; ++i)
        {
            ASSERT_EQ(out[2 * i], 2.f * i);
            ASSERT_EQ(out[2 * i + 1], -2.f * i);
        }
    }
}

TEST(StreamRenderer, AMonoStreamIsFramedAsAStereoOne)
{
    // One channel takes a copy of its own each way; the frames and the marks are the same.
    for (const std::uint32_t chunk : {1000u, 7u})
    {
        ScriptedEffect effect;
        quarl::StreamRenderer renderer(effect, 1, 256);
        std::uint32_t position = 0;
        std::vector<float> out;
        const quarl::RenderResult r = renderer.run(
            [&](float* into, std::uint32_t frames) {
                const std::uint32_t n = std::min({frames, chunk, 1000u - position});
                for (std::uint32_t i = 0; i < n; ++i)
                    into[i] = static_cast<float>(position + i);
                position += n;
                return n;
            },
            [&](const float* s, std::uint32_t n) {
                out.insert(out.end(), s, s + n);
                return true;
            });
        EXPECT_EQ(effect.seen, (Seen{{256, Success}, {256, Success}, {256, Success}, {232, NoMoreData}})) << chunk;
        EXPECT_EQ(r.outputFrames, 1000u);
        ASSERT_EQ(out.size(), 1000u);
        for (std::uint32_t i = 0; i < 1000; ++i)
            ASSERT_EQ(out[i], 2.f * i) << chunk;
    }
}

TEST(StreamRenderer, PlaysTailWhileEffectHasData)
{
    ScriptedEffect effect(3);
    quarl::StreamRenderer renderer(effect, 2, 100);
    std::uint32_t position = 0;
    const quarl::RenderResult r = renderer.run(rampSource(250, 250, position), [](const float*, std::uint32_t) { return true; });
    const Seen expected = {{100, Success}, {100, Success}, {50, NoMoreData}, {0, NoMoreData}, {0, NoMoreData}};
    EXPECT_EQ(effect.seen, expected);
    EXPECT_EQ(r.outputFrames, 500u);
    EXPECT_EQ(r.inputFrames, 250u);
}

// Pushed in pieces of any size (none at all, single frames, several buffers at once), a
// stream plays the very buffers it plays pulled: the same framing, the same end mark, the
// same tail and samples.
TEST(StreamRenderer, AStreamPushedInPiecesPlaysAsPulled)
{
    const std::vector<std::uint32_t> pieces = {0, 1, 255, 3, 0, 600, 17, 256, 1};
    for (const std::uint32_t total : {0u, 1u, 256u, 512u, 1000u, 1133u})
    {
        ScriptedEffect pulledEffect(2), pushedEffect(2);
        quarl::StreamRenderer pulled(pulledEffect, 2, 256), pushed(pushedEffect, 2, 256);
        std::uint32_t position = 0;
        std::vector<float> pulledOut, pushedOut;
        const quarl::RenderResult a = pulled.run(rampSource(total, 97, position), [&](const float* s, std::uint32_t n) {
            pulledOut.insert(pulledOut.end(), s, s + 2 * n);
            return true;
        });

        std::vector<float> input(2 * static_cast<std::size_t>(total));
        position = 0;
        rampSource(total, total, position)(input.data(), total);
        auto collect = [&](const float* s, std::uint32_t n) {
            pushedOut.insert(pushedOut.end(), s, s + 2 * n);
            return true;
        };
        pushed.begin();
        std::uint32_t fed = 0;
        for (std::size_t i = 0; fed < total; i = (i + 1) % pieces.size())
        {
            const std::uint32_t n = std::min(pieces[i], total - fed);
            EXPECT_TRUE(pushed.feed(input.data() + 2 * static_cast<std::size_t>(fed), n, collect));
            fed += n;
            EXPECT_LE(pushed.pendingFrames(), 256u);
            EXPECT_EQ(pushedOut.size() / 2 + pushed.pendingFrames(), fed) << "a buffer waits only for the next input";
        }
        const quarl::RenderResult b = pushed.finish(collect);

        EXPECT_EQ(pushedEffect.seen, pulledEffect.seen) << total;
        EXPECT_EQ(pushedOut, pulledOut) << total;
        EXPECT_EQ(b.inputFrames, a.inputFrames);
        EXPECT_EQ(b.outputFrames, a.outputFrames);
        EXPECT_EQ(b.effectTailFrames, a.effectTailFrames);
        EXPECT_EQ(b.buffers, a.buffers);
    }
}

TEST(StreamRenderer, APushedStreamStopsWhenTheSinkSaysSo)
{
    ScriptedEffect effect(4);
    quarl::StreamRenderer renderer(effect, 2, 10);
    std::vector<float> input(2 * 100, 1.f);
    int sunk = 0;
    auto sink = [&](const float*, std::uint32_t) { return ++sunk < 3; };
    renderer.begin();
    EXPECT_FALSE(renderer.feed(input.data(), 100, sink));
    EXPECT_FALSE(renderer.feed(input.data(), 100, sink)) << "nothing is played after the stop";
    const quarl::RenderResult r = renderer.finish(sink);
    EXPECT_EQ(effect.seen.size(), 3u);
    EXPECT_EQ(r.inputFrames, 30u);
}

TEST(StreamRenderer, StopsWhenAskedAndReportsErrors)
{
    {
        ScriptedEffect effect;
        quarl::StreamRenderer renderer(effect, 2, 10);
        std::uint32_t position = 0;
        int sunk = 0;
        renderer.run(rampSource(1000, 1000, position), [&](const float*, std::uint32_t) { return ++sunk < 3; });
        EXPECT_EQ(effect.seen.size(), 3u);
    }
    {
        ScriptedEffect effect;
        quarl::StreamRenderer renderer(effect, 2, 10);
        std::uint32_t position = 0;
        const quarl::RenderResult r = renderer.run(
            rampSource(1000, 1000, position), [](const float*, std::uint32_t) { return true; },
            [](std::uint64_t index) { return index < 4; });
        EXPECT_EQ(effect.seen.size(), 4u);
        EXPECT_EQ(r.buffers, 4u);
    }
    {
        ScriptedEffect effect(0, InsufficientMemory);
        quarl::StreamRenderer renderer(effect, 2, 10);
        std::uint32_t position = 0;
        const quarl::RenderResult r = renderer.run(rampSource(45, 45, position), [](const float*, std::uint32_t) { return true; });
        EXPECT_EQ(r.status, InsufficientMemory);
        EXPECT_EQ(effect.seen.size(), 5u) << "the stream goes on after an error";
    }
}

namespace
{
// Rings as a resonance would: the level follows the input's magnitude up and falls by
// `decay` per frame after it, with alternating sign, plus a steady `hiss`. It reports a tail of `tailFrames`, much shorter than the ringing.
class RingingEffect final : public PlainEffect
{
public:
    RingingEffect(double decay, std::uint32_t tailFrames, float hiss = 0.f)
        : m_decay(decay), m_tailFrames(tailFrames), m_hiss(hiss)
    {
    }

    void Execute(AudioBuffer& b) noexcept override
    {
        const std::uint32_t input = b.validFrames;
        if (b.state == NoMoreData)
        {
            if (m_remaining == 0 && input == 0)
                return;
            if (m_remaining < 0 || input > 0)
                m_remaining = m_tailFrames;
            const std::uint32_t padded = b.maxFrames - input;
            m_remaining = std::max<std::int64_t>(m_remaining - padded, 0);
            b.validFrames = b.maxFrames;
            if (m_remaining > 0)
                b.state = DataReady;
        }
        else
            m_remaining = -1;
        for (std::uint32_t i = 0; i < b.validFrames; ++i, ++m_frame)
        {
            m_level = std::max(m_level * m_decay, i < input ? std::fabs(static_cast<double>(b.channel(0)[i])) : 0.0);
            const float sign = (m_frame & 1) != 0 ? -1.f : 1.f;
            for (std::uint32_t c = 0; c < b.channelCount; ++c)
                b.channel(c)[i] = sign * static_cast<float>(m_level) + sign * m_hiss;
        }
    }

private:
    double m_decay;
    std::int64_t m_tailFrames;
    float m_hiss;
    std::int64_t m_remaining = -1;
    double m_level = 0.0;
    std::uint64_t m_frame = 0;
};

// A source of `total` stereo frames at full scale.
quarl::StreamRenderer::Source loudSource(std::uint32_t total, std::uint32_t& position)
{
    return [total, &position](float* out, std::uint32_t frames) {
        const std::uint32_t n = std::min(frames, total - position);
        std::fill(out, out + 2 * n, 1.f);
        position += n;
        return n;
    };
}

struct Played
{
    quarl::RenderResult result;
    std::vector<float> out;
};

Played play(IEffectPlugin& effect, std::uint32_t inputFrames, const std::optional<quarl::RingOut>& ringOut)
{
    quarl::StreamRenderer renderer(effect, 2, 256);
    if (ringOut)
        renderer.playOnWhileRinging(*ringOut);
    std::uint32_t position = 0;
    Played p;
    p.result = renderer.run(loudSource(inputFrames, position), [&](const float* s, std::uint32_t n) {
        p.out.insert(p.out.end(), s, s + 2 * n);
        return true;
    });
    return p;
}

float peakOfLast(const std::vector<float>& interleaved, std::size_t frames)
{
    float peak = 0.f;
    for (std::size_t i = interleaved.size() - std::min(interleaved.size(), 2 * frames); i < interleaved.size(); ++i)
        peak = std::max(peak, std::fabs(interleaved[i]));
    return peak;
}

constexpr double kMinus96Db = 1.5848931924611134e-05;
constexpr double kMinus90Db = 3.1622776601683795e-05;
} // namespace

TEST(RingOut, PlaysOnWithSilenceUntilTheRingingIsQuiet)
{
    // 0.9995 per frame: 90 dB takes about 20700 frames, the reported tail 1000.
    RingingEffect alone(0.9995, 1000), watched(0.9995, 1000);
    const Played before = play(alone, 1000, std::nullopt);
    int floorAsked = 0;
    const Played after = play(watched, 1000, quarl::RingOut{48000, {}, [&] { ++floorAsked; return 0.0; }});
    EXPECT_GT(peakOfLast(before.out, 50), 0.5f) << "the reported tail stops while it rings";
    EXPECT_EQ(before.result.tailEnd, quarl::TailEnd::NotWatched);

    // The render as before, then silence in until the last stretch peaks 90 dB below the
    // render's peak of 0 dBFS.
    EXPECT_EQ(after.result.effectTailFrames, before.result.outputFrames - 1000);
    EXPECT_EQ(after.result.tailEnd, quarl::TailEnd::Quiet);
    EXPECT_GT(after.result.ringOutFrames, 18000u);
    EXPECT_LT(after.result.ringOutFrames, 26000u);
    EXPECT_EQ(after.result.outputFrames, before.result.outputFrames + after.result.ringOutFrames);
    ASSERT_EQ(after.out.size(), 2 * after.result.outputFrames);
    EXPECT_TRUE(std::equal(before.out.begin(), before.out.end(), after.out.begin()));
    EXPECT_LE(peakOfLast(after.out, 50), kMinus90Db);
    EXPECT_EQ(after.result.renderPeak, 1.f);
    EXPECT_LE(after.result.endPeak, kMinus90Db);
    EXPECT_GT(after.result.endPeak, kMinus90Db * 0.5) << "it stops once there";
    EXPECT_EQ(floorAsked, 1) << "asked once, when the end was not quiet";
}

TEST(RingOut, ARenderThatEndsQuietKeepsItsLength)
{
    // 0.99 per frame falls 96 dB in about 1100 frames, well inside the reported 2000.
    RingingEffect alone(0.99, 2000), watched(0.99, 2000);
    const Played before = play(alone, 1000, std::nullopt);
    bool floorAsked = false;
    const Played after = play(watched, 1000, quarl::RingOut{48000, {}, [&] { floorAsked = true; return 0.0; }});
    EXPECT_EQ(after.result.tailEnd, quarl::TailEnd::Quiet);
    EXPECT_EQ(after.result.ringOutFrames, 0u);
    EXPECT_EQ(after.out, before.out);
    EXPECT_FALSE(floorAsked);
    // Nothing after the input at all: nothing rings.
    RingingEffect none(0.5, 0);
    const Played exact = play(none, 512, quarl::RingOut{48000, {}, {}});
    EXPECT_EQ(exact.result.outputFrames, 512u);
    EXPECT_EQ(exact.result.tailEnd, quarl::TailEnd::Quiet);
}

TEST(RingOut, TheSettingsOwnFloorIsNoTail)
{
    // Hiss at -40 dBFS under a quick decay: the reported tail ends on the hiss.
    const float hiss = 0.01f;
    RingingEffect hissing(0.99, 2000, hiss);
    const Played floor = play(hissing, 1000, quarl::RingOut{48000, {}, [&] { return hiss; }});
    EXPECT_EQ(floor.result.tailEnd, quarl::TailEnd::Floor);
    EXPECT_EQ(floor.result.ringOutFrames, 0u);

    // A slow ring above the same hiss plays on until it has sunk to within 6 dB of it.
    RingingEffect ringing(0.9995, 1000, hiss);
    const Played rang = play(ringing, 1000, quarl::RingOut{48000, {}, [&] { return hiss; }});
    EXPECT_EQ(rang.result.tailEnd, quarl::TailEnd::Floor);
    EXPECT_GT(rang.result.ringOutFrames, 5000u);
    EXPECT_LE(peakOfLast(rang.out, 50), 2.f * hiss + 1e-6f);

    // With no floor known the hiss plays on to the cap, and not a frame further.
    RingingEffect endless(0.99, 2000, hiss);
    quarl::RingOutLimits limits;
    limits.capSeconds = 0.1;
    const Played capped = play(endless, 1000, quarl::RingOut{48000, limits, {}});
    EXPECT_EQ(capped.result.tailEnd, quarl::TailEnd::Cap);
    EXPECT_EQ(capped.result.ringOutFrames, 4800u);
    EXPECT_EQ(capped.result.outputFrames, 1000u + capped.result.effectTailFrames + 4800u);
}

TEST(RingOut, MinusNinetySixDbfsIsAnEndForAQuietRender)
{
    // Input at -40 dBFS: the end is quiet at -96 dBFS, before it is 90 dB below the peak.
    RingingEffect effect(0.9995, 1000);
    quarl::StreamRenderer renderer(effect, 2, 256);
    renderer.playOnWhileRinging(quarl::RingOut{48000, {}, {}});
    std::uint32_t position = 0;
    std::vector<float> out;
    const quarl::RenderResult r = renderer.run(
        [&](float* into, std::uint32_t frames) {
            const std::uint32_t n = std::min(frames, 1000u - position);
            std::fill(into, into + 2 * n, 0.01f);
            position += n;
            return n;
        },
        [&](const float* s, std::uint32_t n) {
            out.insert(out.end(), s, s + 2 * n);
            return true;
        });
    EXPECT_EQ(r.tailEnd, quarl::TailEnd::Quiet);
    EXPECT_LE(peakOfLast(out, 50), kMinus96Db);
    EXPECT_GT(peakOfLast(out, 50), kMinus96Db * 0.5) << "it stops once there";
}

TEST(RingOut, TheRenderPeakIsTheLargestMagnitudePassingOverNaN)
{
    // Peaks at every place in a block (the vector lanes and the leftover samples), negative
    // and positive, among NaNs and signed zeros; blocks of every length up to 21 samples.
    for (std::uint32_t length = 1; length <= 21; ++length)
        for (std::uint32_t at = 0; at < length; ++at)
        {
            std::vector<float> block(length, -0.f);
            for (std::uint32_t i = 0; i < length; i += 3)
                block[i] = std::nanf("");
            block[at] = (at % 2 == 0 ? -1.f : 1.f) * (0.25f + static_cast<float>(at) / 64.f);
            quarl::RingOutWatch watch(1, 48000, {});
            watch.addProgramme(block.data(), length);
            EXPECT_EQ(watch.renderPeak(), std::fabs(block[at])) << "length " << length << ", peak at " << at;
            // The peak so far stands against a smaller block, an infinity beats everything.
            watch.addProgramme(block.data(), 1);
            EXPECT_EQ(watch.renderPeak(), std::fabs(block[at]));
            block[length - 1] = -HUGE_VALF;
            watch.addProgramme(block.data(), length);
            EXPECT_EQ(watch.renderPeak(), HUGE_VALF);
        }
    quarl::RingOutWatch silent(2, 48000, {});
    const float nothing[4] = {std::nanf(""), 0.f, -0.f, std::nanf("")};
    silent.addProgramme(nothing, 2);
    EXPECT_EQ(silent.renderPeak(), 0.f);
}
