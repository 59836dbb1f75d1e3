// The one effect run: a stream pushed in pieces renders what the whole renders, transmission
// included; a run that is stopped says so and hands on no transmission tail; live buffers are
// the stream's; a block the effect refuses is an error, not an empty render; the space is
// the last step.
#include "cli/render/EffectHost.h"
#include "cli/settings/ParameterSettings.h"
#include "pipeline/EffectRun.h"
#include "space/ImpulseCache.h"
#include "space/Space.h"
#include "space/SpaceError.h"
#include "transmission/TransmissionSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <algorithm>
#include <vector>

namespace
{
constexpr std::uint32_t kRate = 16000;

std::vector<std::uint8_t> phoneBlock()
{
    ParameterSettings s(EffectHost::instance().description());
    s.assign("SIMType=#3");
    s.assign("NoiseLevel=-40");
    s.assign("DistortionAmount=40");
    return EffectHost::instance().bankBlock(s);
}

// A second of a chirp with pauses, two channels.
std::vector<float> chirp(std::uint32_t channels)
{
    std::vector<float> x(kRate * channels);
    for (std::uint32_t i = 0; i < kRate; ++i)
        for (std::uint32_t c = 0; c < channels; ++c)
            x[i * channels + c] = (i / 2000) % 2 == 0 ? 0.4f * std::sin(0.002f * i * i / 100.f + c) : 0.f;
    return x;
}

pipeline::RunSettings transmitted(std::uint32_t blockFrames)
{
    pipeline::RunSettings settings{phoneBlock(), blockFrames};
    settings.transmission.codec = transmission::parseCodec("gsm");
    settings.transmission.loss = transmission::parseLoss("10%:burst=2");
    settings.transmission.radio = transmission::parseRadio("on");
    settings.seed = 7;
    return settings;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(float) * a.size()) == 0;
}
} // namespace

TEST(EffectRun, PiecesRenderWhatTheWholeRenders)
{
    const std::vector<float> in = chirp(2);
    const ZQ::Quarl::PluginRegistration& effect = EffectHost::instance().effect();
    const std::vector<float> whole = pipeline::EffectRun(effect, transmitted(300), kRate, 2).render(in.data(), kRate);
    ASSERT_GT(whole.size(), in.size()); // the tail and the transmission's last frames

    pipeline::EffectRun pushed(effect, transmitted(300), kRate, 2);
    std::vector<float> out;
    const std::uint64_t pieces[] = {1, 299, 300, 301, 4096, 7};
    std::uint64_t at = 0;
    for (std::size_t i = 0; at < kRate; ++i)
    {
        const std::uint64_t n = std::min<std::uint64_t>(pieces[i % 6], kRate - at);
        pushed.feed(in.data() + at * 2, n, out);
        at += n;
        EXPECT_LE(pushed.pendingFrames(), 300u + kRate / 4); // a buffer, and the line's latency
    }
    pushed.finish(out);
    EXPECT_TRUE(sameBits(out, whole));
}

TEST(EffectRun, AStoppedRunSaysSoAndEndsThere)
{
    const std::vector<float> in = chirp(1);
    pipeline::EffectRun run(EffectHost::instance().effect(), transmitted(512), kRate, 1);
    std::uint64_t position = 0, delivered = 0;
    const pipeline::RunResult result = run.run(
        [&](float* into, std::uint32_t frames) {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, kRate - position));
            std::memcpy(into, in.data() + position, sizeof(float) * n);
            position += n;
            return n;
        },
        [&](const float*, std::uint32_t frames) {
            delivered += frames;
            return delivered < 4000;
        });
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(result.succeeded());
    EXPECT_LT(delivered, 4000u + 2048u);
    EXPECT_LT(result.effect.inputFrames, kRate);
    EXPECT_FALSE(result.transmission.settings.empty());
    EXPECT_GT(result.transmission.framesSent, 0u);
}

TEST(EffectRun, LiveBuffersAreTheStreams)
{
    const std::vector<float> in = chirp(2);
    const ZQ::Quarl::PluginRegistration& effect = EffectHost::instance().effect();
    pipeline::RunSettings settings{phoneBlock(), 256};
    const std::vector<float> stream = pipeline::EffectRun(effect, settings, kRate, 2).render(in.data(), kRate);
    settings.live = true;
    pipeline::EffectRun live(effect, settings, kRate, 2);
    std::vector<float> out(in.size());
    for (std::uint32_t at = 0; at + 256 <= kRate; at += 256)
        live.playLive(in.data() + at * 2, out.data() + at * 2, 256);
    const std::size_t played = (kRate / 256) * 256 * 2;
    EXPECT_EQ(std::memcmp(out.data(), stream.data(), sizeof(float) * played), 0);
    EXPECT_GT(live.context().postCount(), 0u); // the meter records, for the editor
}

TEST(EffectRun, ABlockTheEffectRefusesIsAnError)
{
    const pipeline::RunSettings truncated{std::vector<std::uint8_t>(138, 0), 512};
    try
    {
        pipeline::EffectRun run(EffectHost::instance().effect(), truncated, kRate, 1);
        FAIL() << "a 138-byte block made an effect";
    }
    catch (const pipeline::RunError& e)
    {
        EXPECT_NE(std::string(e.what()).find("could not be set up (host code 31)"), std::string::npos) << e.what();
    }
}

// The space is the run's last step: the run with a space is the run without it, through the
// space, the decay added after it; pieces of any size render the same.
TEST(EffectRun, TheSpaceIsTheLastStepAndItsDecayFollows)
{
    const std::vector<float> in = chirp(2);
    const ZQ::Quarl::PluginRegistration& effect = EffectHost::instance().effect();
    pipeline::RunSettings dry = transmitted(256);
    pipeline::RunSettings wet = dry;
    wet.space = space::parseSpace("bathroom:mix=60");
    const std::vector<float> withoutSpace = pipeline::EffectRun(effect, dry, kRate, 2).render(in.data(), kRate);
    pipeline::EffectRun run(effect, wet, kRate, 2);
    const std::vector<float> whole = run.render(in.data(), kRate);

    space::Space room(wet.space, kRate, 2);
    std::vector<float> expected;
    room.process(withoutSpace.data(), withoutSpace.size() / 2, expected);
    room.finish(expected);
    EXPECT_EQ(expected.size(), withoutSpace.size() + 2 * room.tailFrames());
    EXPECT_TRUE(sameBits(whole, expected));

    pipeline::EffectRun pieces(effect, wet, kRate, 2);
    std::vector<float> streamed;
    for (std::uint32_t at = 0, n = 1; at < kRate; at += n, n = n * 3 % 1001 + 1)
        pieces.feed(in.data() + 2 * at, std::min<std::uint32_t>(n, kRate - at), streamed);
    pieces.finish(streamed);
    EXPECT_TRUE(sameBits(whole, streamed));
}

TEST(EffectRun, ASpaceThatCannotBeMadeIsAnErrorBeforeTheRun)
{
    pipeline::RunSettings settings{phoneBlock(), 256};
    settings.space = space::parseSpace("/no/such/response.wav");
    EXPECT_THROW(pipeline::EffectRun(EffectHost::instance().effect(), settings, kRate, 1), space::SpaceError);
}

TEST(EffectRun, RunsInOneProcessMakeEachSpaceOnce)
{
    // A batch's files share the space's impulse response: the first run makes it, the rest
    // find it made.
    pipeline::RunSettings settings{phoneBlock(), 256};
    settings.space = space::parseSpace("office:distance=2.5");
    const std::vector<float> in = chirp(1);
    const std::uint64_t before = space::ImpulseCache::shared().loads();
    for (int file = 0; file < 5; ++file)
        pipeline::EffectRun(EffectHost::instance().effect(), settings, kRate, 1).render(in.data(), kRate / 4);
    EXPECT_EQ(space::ImpulseCache::shared().loads(), before + 1);
}
