// The stand-in host's stream runner: buffer framing, the end-of-input mark, the tail
// loop and stopping, checked against a scripted effect.
#include "quarl/StreamRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

using namespace ZQ::Quarl;

namespace
{
// Doubles every valid sample; after the end of input pads `tailBuffers` whole buffers
// with silence, asking for more while any remain.
class ScriptedEffect final : public IEffectPlugin
{
public:
    void* DeletingDestructor(unsigned int) noexcept override { return this; }
    explicit ScriptedEffect(std::uint64_t tailBuffers = 0, Result failOn = 0) : m_tail(tailBuffers), m_failOn(failOn) {}

    Result Term(IAllocator*) noexcept override { return Success; }
    Result Reset() noexcept override { return Success; }
    Result GetPluginInfo(PluginInfo&) noexcept override { return Success; }
    bool SupportsMonitoring() noexcept override { return false; }
    std::uint32_t GetLatency() noexcept override { return 0; }
    Result Init(IAllocator*, IProcessingContext*, IEffectParams*, const AudioFormat&) noexcept override { return Success; }
    Result TimeSkip(std::uint32_t&) noexcept override { return DataReady; }

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
