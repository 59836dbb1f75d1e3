// The processor as the host runs it: made through the module's registration record,
// fed buffers through the stand-in host, metering into the processing context.
#include "engine/DenormalGuard.h"
#include "engine/EffectEngine.h"
#include "engine/filters/FilterDesign.h"
#include "host/PluginIds.h"
#include "quarl/StreamRenderer.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/StageRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace crumlet_test;
using namespace ZQ::Quarl;
namespace P = ParamId;

namespace
{
std::vector<std::vector<float>> noiseChannels(std::uint32_t channels, std::uint32_t frames, std::uint32_t seed)
{
    std::vector<std::vector<float>> v;
    for (std::uint32_t c = 0; c < channels; ++c)
        v.push_back(uniformNoise(frames, 0.8f, seed * 31 + c));
    return v;
}

std::vector<quarl::ChannelMeters> latestMeters(const EffectHarness& h)
{
    return quarl::decodeMeterRecord(h.context.latest());
}

// Renders `inputFrames` of a fixed pattern and answers how many frames came out.
std::uint64_t renderedFrames(EffectHarness& h, std::uint32_t blockFrames, std::uint64_t inputFrames,
                             const quarl::StreamRenderer::BeforeBuffer& before = {})
{
    quarl::StreamRenderer renderer(h.engine(), h.channels, blockFrames);
    std::uint64_t left = inputFrames;
    const auto source = [&](float* out, std::uint32_t frames) {
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, left));
        for (std::uint32_t i = 0; i < n * h.channels; ++i)
            out[i] = 0.25f * static_cast<float>((i * 7919u) % 17u) / 17.f;
        left -= n;
        return n;
    };
    const quarl::RenderResult r = renderer.run(source, [](const float*, std::uint32_t) { return true; }, before);
    EXPECT_EQ(r.status, Success);
    EXPECT_EQ(r.inputFrames, inputFrames);
    return r.outputFrames;
}

std::uint64_t roundUpFrames(std::uint64_t frames, std::uint64_t block)
{
    return block * std::max<std::uint64_t>(1, (frames + block - 1) / block);
}
} // namespace

TEST(EffectEngine, RegistrationAndPluginInfo)
{
    const PluginRegistration& r = crumletRecord();
    EXPECT_EQ(r.type, 3u);
    EXPECT_EQ(r.companyId, kOrvexCompanyId);
    EXPECT_EQ(r.pluginId, kCrumletPluginId);

    EffectHarness h;
    ASSERT_EQ(h.createDefaults(), Success);
    PluginInfo info;
    EXPECT_EQ(h.engine().GetPluginInfo(info), Success);
    EXPECT_EQ(info.type, PluginType::Effect);
    EXPECT_EQ(info.buildVersion, 516866u);
    EXPECT_TRUE(info.isInPlace);
    EXPECT_EQ(h.engine().Reset(), Success);
    EXPECT_FALSE(h.engine().SupportsMonitoring());
    EXPECT_EQ(h.engine().GetLatency(), 0u);
    std::uint32_t skip = 128;
    EXPECT_EQ(h.engine().TimeSkip(skip), DataReady);
    // Both objects and every stage's memory come from the host's allocator.
    EXPECT_EQ(h.allocator.liveBlocks(), 2u + 7u);
    h.destroy();
    EXPECT_EQ(h.allocator.liveBlocks(), 0u);
}

// TimeSkip answers that data is ready and changes nothing: the noise and every stage's
// memory go on from where they were, so skipping between two buffers renders what the two
// buffers render without it.
TEST(EffectEngine, TimeSkipLeavesTheOutputAlone)
{
    auto twoBuffers = [](bool skipBetween) {
        EffectHarness h(2, 48000, 256);
        EXPECT_EQ(h.create(BlockBuilder().set(P::NoiseLevel, -20).set(P::DistortionAmount, 60)
                               .set(P::FiltersHPFFreq, 300).set(P::LoFiBitDepthType, 12)),
                  Success);
        std::vector<std::vector<float>> out;
        for (std::uint32_t block = 0; block < 2; ++block)
        {
            if (block == 1 && skipBetween)
            {
                std::uint32_t skipped = 4096;
                EXPECT_EQ(h.engine().TimeSkip(skipped), DataReady);
            }
            EXPECT_EQ(h.run(noiseChannels(2, 256, 20 + block), 256), Success);
            out.push_back(h.output(0));
            out.push_back(h.output(1));
        }
        return out;
    };
    const auto plain = twoBuffers(false);
    ASSERT_GT(peakOf(plain[2]), 0.f);
    EXPECT_EQ(twoBuffers(true), plain);
}

// With every stage off the output is the input times the input gain, then split between
// the wet path (times the output gain) and the dry path by the balance.
TEST(EffectEngine, StagesOffGivesInputTimesGains)
{
    for (const float balance : {100.f, 40.f, 0.f})
    {
        EffectHarness h(2, 48000, 128);
        ASSERT_EQ(h.create(BlockBuilder().allStagesOff().set(P::InputGain, 6).set(P::OutputGain, -3).set(P::Balance, balance)),
                  Success);
        EXPECT_EQ(h.allocator.liveBlocks(), 2u) << "no stage memory while the stages are off";
        const auto in = noiseChannels(2, 128, 1);
        ASSERT_EQ(h.run(in, 128), Success);
        const float gin = 1.9952623f, gout = 0.70794576f;
        const float wet = balance * 0.01f * gout, dry = 1.f - balance * 0.01f;
        for (std::uint32_t c = 0; c < 2; ++c)
            for (std::size_t i = 0; i < 128; ++i)
                ASSERT_NEAR(h.output(c)[i], (wet + dry) * in[c][i] * gin, 1e-6f) << balance << " " << i;
    }
}

// Balance 0 returns the input after the input gain, whatever the stages do.
TEST(EffectEngine, BalanceZeroIsDryInput)
{
    EffectHarness h(2, 48000, 256);
    ASSERT_EQ(h.create(BlockBuilder().set(P::Balance, 0).set(P::InputGain, -6).set(P::NoiseLevel, -20)
                           .set(P::DistortionAmount, 80).set(P::LoFiBitDepthType, 12)),
              Success);
    for (int block = 0; block < 4; ++block)
    {
        const auto in = noiseChannels(2, 256, 10 + block);
        ASSERT_EQ(h.run(in, 256), Success);
        const float gain = h.params().gains.inputGain;
        EXPECT_FLOAT_EQ(gain, 0.50118723f);
        for (std::uint32_t c = 0; c < 2; ++c)
            for (std::size_t i = 0; i < 256; ++i)
                ASSERT_EQ(h.output(c)[i], in[c][i] * gain) << i;
    }
}

// Balance 100 and 0 dB: the output is exactly the stages run one after another in the
// chain's order (Filters, Distortion, EQ, Noise, SIM, Gate, Lo-fi), and the meters are
// the levels between them.
TEST(EffectEngine, OutputIsTheChainInOrder)
{
    for (const std::uint32_t channels : {1u, 2u, 5u})
    {
        SCOPED_TRACE(std::to_string(channels) + " channels");
        const std::uint32_t frames = 256;
        EffectHarness h(channels, 48000, frames);
        ASSERT_EQ(h.create(BlockBuilder()
                               .set(P::FiltersHPFFreq, 150).set(P::FiltersLPFFreq, 6000).set(P::FiltersLPFSlope, 1)
                               .set(P::DistortionMode, 2).set(P::DistortionAmount, 60).set(P::DistortionIntensity, 30)
                               .set(P::EQGain, 6).set(P::EQQ, 40).set(P::EQFreq, 2000)
                               .set(P::NoiseLevel, -30).set(P::NoiseThresh, -10)
                               .set(P::SIMType, 1).set(P::SIMTuning, 120)
                               .set(P::GateThreshold, -30).set(P::GateRange, -20)
                               .set(P::LoFiBitDepthType, 9).set(P::LoFiDownSampleIndex, 2).set(P::LoFiFilter, 30)),
                  Success);
        const EngineParams& p = h.params();
        StageRig<FiltersStage> filters(channels);
        StageRig<DistortionStage> distortion(channels);
        StageRig<EqStage> eq(channels);
        StageRig<NoiseStage> noise(channels);
        StageRig<SimStage> sim(channels);
        StageRig<GateStage> gate(channels);
        StageRig<LoFiStage> lofi(channels);
        filters.stage.setup(48000, p.filters);
        distortion.stage.setup(48000, p.distortion);
        eq.stage.setup(48000, p.eq);
        noise.stage.setup(48000, p.noise);
        sim.stage.setup(48000, p.sim);
        gate.stage.setup(48000, p.gate);
        lofi.stage.setup(48000, p.lofi);

        for (int block = 0; block < 4; ++block)
        {
            const auto in = noiseChannels(channels, frames, 100 + block);
            ASSERT_EQ(h.run(in, frames), Success);
            const auto meters = latestMeters(h);
            ASSERT_EQ(meters.size(), channels);

            DenormalGuard guard;
            std::vector<std::vector<float>> x = in;
            std::vector<float*> data;
            for (auto& channel : x)
                data.push_back(channel.data());
            auto peaks = [&x] {
                std::vector<float> p;
                for (const auto& channel : x)
                    p.push_back(peakOf(channel));
                return p;
            };
            const auto m0 = peaks();
            filters.process(data.data(), frames);
            distortion.process(data.data(), frames);
            eq.process(data.data(), frames);
            const auto m2 = peaks();
            noise.process(data.data(), frames);
            sim.process(data.data(), frames);
            const auto m5 = peaks();
            gate.process(data.data(), frames);
            lofi.process(data.data(), frames);

            for (std::uint32_t c = 0; c < channels; ++c)
            {
                ASSERT_EQ(h.output(c), x[c]) << "block " << block << " channel " << c;
                const float* m = meters[c].values;
                EXPECT_EQ(m[kMeterInput], m0[c]);
                EXPECT_EQ(m[kMeterOutput], peakOf(x[c]));
                EXPECT_EQ(m[kMeterPreNoise], m2[c]);
                EXPECT_EQ(m[kMeterNoise], noise.stage.readMaxNoise(c));
                EXPECT_EQ(m[kMeterDucking], noise.stage.readMinGain(c));
                EXPECT_EQ(m[kMeterPreGate], m5[c]);
                EXPECT_EQ(m[kMeterGateGain], gate.stage.memory[c].minGain);
            }
        }
    }
}

// A gain change ramps linearly across exactly one block: sample i of that block gets
// old + i * (new - old) / frames, and the next block has the new gain throughout.
TEST(EffectEngine, GainChangesRampOverOneBlock)
{
    for (ParameterId id : {P::InputGain, P::OutputGain})
    {
        const std::uint32_t frames = 200;
        EffectHarness h(1, 48000, frames);
        ASSERT_EQ(h.create(BlockBuilder().allStagesOff()), Success);
        const std::vector<float> ones(frames, 1.f);
        h.runMono(ones);
        EXPECT_EQ(h.output(0), ones);
        h.set(id, -6.0);
        const float g = 0.50118723f;
        h.runMono(ones);
        const std::vector<float> ramp = h.output(0);
        for (std::uint32_t i = 0; i < frames; ++i)
            ASSERT_NEAR(ramp[i], 1.f + static_cast<float>(i) * (g - 1.f) / frames, 1e-6f) << i;
        h.runMono(ones);
        for (float v : h.output(0))
            ASSERT_FLOAT_EQ(v, g);
    }
}

TEST(EffectEngine, MeterRecordForStagesOff)
{
    EffectHarness h(2, 48000, 64);
    ASSERT_EQ(h.create(BlockBuilder().allStagesOff().set(P::InputGain, 6).set(P::OutputGain, -6)), Success);
    std::vector<std::vector<float>> in(2, std::vector<float>(64, 0.f));
    in[0][10] = -0.25f;
    in[1][63] = 0.125f;
    ASSERT_EQ(h.run(in, 64), Success);
    ASSERT_EQ(h.context.postCount(), 1u);
    const std::vector<std::uint8_t>& record = h.context.latest();
    ASSERT_EQ(record.size(), 60u);
    std::uint32_t count = 0;
    std::memcpy(&count, record.data(), 4);
    EXPECT_EQ(count, 2u);
    const float gin = 1.9952623f, gout = 0.50118723f;
    const auto meters = latestMeters(h);
    const float peaks[2] = {0.25f * gin, 0.125f * gin};
    for (int c = 0; c < 2; ++c)
    {
        const float* m = meters[c].values;
        EXPECT_FLOAT_EQ(m[0], peaks[c]);
        EXPECT_FLOAT_EQ(m[1], peaks[c] * gout);
        EXPECT_FLOAT_EQ(m[2], peaks[c]);
        EXPECT_EQ(m[3], 0.f);
        EXPECT_EQ(m[4], 1.f);
        EXPECT_FLOAT_EQ(m[5], peaks[c]);
        EXPECT_EQ(m[6], 1.f);
    }

    h.context.setMonitoring(false);
    h.run(in, 64);
    h.run(in, 64);
    EXPECT_EQ(h.context.postCount(), 1u);
}

// Gate meter opening from silence is one attack step; the noise meters follow the
// generator's ducking gain rising from zero at the recovery rate.
TEST(EffectEngine, GateAndNoiseMeters)
{
    EffectHarness gateOnly(1, 48000, 256);
    ASSERT_EQ(gateOnly.create(BlockBuilder().allStagesOff().set(P::GateEnable, 1).set(P::GateThreshold, -40)), Success);
    gateOnly.runMono(std::vector<float>(256, 0.5f));
    EXPECT_FLOAT_EQ(latestMeters(gateOnly)[0].values[kMeterGateGain], 1.f / 48.f);

    const std::uint32_t frames = 480;
    EffectHarness noiseOnly(1, 48000, frames);
    ASSERT_EQ(noiseOnly.create(BlockBuilder().allStagesOff().set(P::NoiseEnable, 1).set(P::NoiseLevel, -20)), Success);
    const std::vector<float> silence(frames, 0.f);
    noiseOnly.runMono(silence);
    noiseOnly.runMono(silence);
    // The gain climbs g += (1 - g) / 960 from 0; the second block's smallest value is
    // the one after its first sample.
    float g = 0.f;
    const float c = static_cast<float>(1.0 / 960.0);
    for (std::uint32_t i = 0; i <= frames; ++i)
        g = g + c * (1.f - g);
    const auto meters = latestMeters(noiseOnly);
    const float* m = meters[0].values;
    EXPECT_FLOAT_EQ(m[kMeterDucking], g);
    EXPECT_GT(m[kMeterNoise], 0.f);
    EXPECT_LT(m[kMeterNoise], 0.5f * 0.05f * 2.f); // amplitude 10^(-26/20) times half-scale noise, with headroom
    EXPECT_EQ(m[kMeterPreNoise], 0.f);
    EXPECT_EQ(m[kMeterOutput], m[kMeterPreGate]);
    EXPECT_EQ(m[kMeterOutput], peakOf(noiseOnly.output(0)));
}

// Per buffer the processor takes only its dry buffer, plus the noise buffer while the
// noise stage runs; both are returned.
TEST(EffectEngine, WorkingMemoryPerBuffer)
{
    for (const bool noiseOn : {false, true})
    {
        EffectHarness h(2, 48000, 128);
        ASSERT_EQ(h.create(BlockBuilder().set(P::NoiseEnable, noiseOn)), Success);
        h.runMono(std::vector<float>(128, 0.1f)); // applies the block's changes
        const auto requests = h.allocator.requests();
        const auto live = h.allocator.liveBytes();
        h.runMono(std::vector<float>(128, 0.1f));
        EXPECT_EQ(h.allocator.requests() - requests, noiseOn ? 2u : 1u) << "noise " << noiseOn;
        EXPECT_EQ(h.allocator.liveBytes(), live);
    }
}

struct StageToggle
{
    const char* name;
    ParameterId enable;
    std::size_t bytesPerChannel;
    std::function<void(BlockBuilder&)> ringing; // settings under which the stage keeps state
};

void PrintTo(const StageToggle& s, std::ostream* os)
{
    *os << s.name;
}

class StageToggleTest : public ::testing::TestWithParam<StageToggle>
{
};

// Switching a stage off frees its memory; switching it on again starts from silence.
TEST_P(StageToggleTest, DisableFreesAndReenableIsFresh)
{
    const StageToggle& s = GetParam();
    const std::uint32_t channels = 2, frames = 64;
    EffectHarness h(channels, 48000, frames);
    BlockBuilder block;
    block.allStagesOff().set(s.enable, 1);
    s.ringing(block);
    ASSERT_EQ(h.create(block), Success);

    std::vector<float> impulse(frames, 0.f), silence(frames, 0.f);
    impulse[0] = 0.9f;
    // Without a toggle the stage still rings after an impulse.
    h.runMono(impulse);
    h.runMono(silence);
    EXPECT_GT(peakOf(h.output(0)), 0.f) << "the stage should hold state";

    const std::size_t withStage = h.allocator.liveBytes();
    h.set(s.enable, 0);
    h.runMono(silence);
    EXPECT_EQ(withStage - h.allocator.liveBytes(), s.bytesPerChannel * channels);
    h.set(s.enable, 1);
    h.runMono(silence);
    EXPECT_EQ(h.allocator.liveBytes(), withStage);
    for (std::uint32_t c = 0; c < channels; ++c)
        EXPECT_EQ(peakOf(h.output(c)), 0.f);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EffectEngine, StageToggleTest, ::testing::Values(
    StageToggle{"Filters", P::FiltersEnable, sizeof(FiltersStage::Channel),
                [](BlockBuilder& b) { b.set(P::FiltersLPFFreq, 300).set(P::FiltersLPFQ, 100).set(P::FiltersLPFSlope, 1); }},
    StageToggle{"Distortion", P::DistortionEnable, sizeof(DistortionStage::Channel),
                [](BlockBuilder& b) { b.set(P::DistortionAmount, 50); }},
    StageToggle{"Eq", P::EQEnable, sizeof(EqStage::Channel),
                [](BlockBuilder& b) { b.set(P::EQFreq, 200).set(P::EQQ, 100).set(P::EQGain, 12); }},
    StageToggle{"Sim", P::SIMEnable, sizeof(SimStage::Channel), [](BlockBuilder&) {}},
    StageToggle{"LoFi", P::LoFiEnable, sizeof(LoFiStage::Channel),
                [](BlockBuilder& b) { b.set(P::LoFiDownSampleIndex, 32); }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(EffectEngine, GateAndNoiseMemoryFollowTheirSwitch)
{
    for (const auto& [enable, bytes] : {std::pair<ParameterId, std::size_t>{P::GateEnable, sizeof(GateStage::Channel)},
                                        {P::NoiseEnable, sizeof(NoiseStage::Channel)}})
    {
        EffectHarness h(3, 48000, 32);
        ASSERT_EQ(h.create(BlockBuilder().allStagesOff().set(enable, 1)), Success);
        const std::size_t withStage = h.allocator.liveBytes();
        h.set(enable, 0);
        h.runMono(std::vector<float>(32, 0.f));
        EXPECT_EQ(withStage - h.allocator.liveBytes(), bytes * 3);
    }
}

namespace
{
// The tail of the default settings: the Filters, EQ and SIM tails added up.
std::int64_t defaultTail(unsigned fs)
{
    const std::int64_t filtersTail = std::max(referenceTail(filters::HighPass2(fs, 40.0, 1.414)),
                                              referenceTail(filters::LowPass2(fs, 18000.0, 1.414)));
    const std::int64_t eqTail = referenceTail(filters::Peaking12(fs, 1000.0, 1.0, 0.0));
    BiquadCoefs sim[kSimSectionCount];
    SimModelSections(fs, 0, 1.0, sim);
    std::int64_t simTail = 0;
    for (const BiquadCoefs& s : sim)
        simTail = std::max(simTail, referenceTail(s));
    return filtersTail + eqTail + simTail;
}
} // namespace

TEST(EffectEngine, TailSumOfDefaults)
{
    EffectHarness h(1, 48000, 256);
    ASSERT_EQ(h.createDefaults(), Success);
    EXPECT_EQ(h.engine().tailSum(), defaultTail(48000));
    EXPECT_GT(referenceTail(filters::HighPass2(48000, 40.0, 1.414)), 1000);

    // Initialised again at another rate, the stages are made afresh for it.
    const std::size_t bytes = h.allocator.liveBytes();
    ASSERT_EQ(h.engine().Init(&h.allocator, &h.context, &h.params(), AudioFormat{96000, 1}), Success);
    EXPECT_EQ(h.engine().tailSum(), defaultTail(96000));
    EXPECT_EQ(h.allocator.liveBytes(), bytes);
}

// After the input ends the stream continues until the tail is played out: the output is
// the input plus the tail, rounded up to whole buffers.
TEST(EffectEngine, TailLengthThroughRenderer)
{
    for (std::uint32_t blockFrames : {1u, 37u, 256u, 4096u})
        for (std::uint64_t inputFrames : {0ull, 1000ull, 4096ull})
        {
            EffectHarness h(2, 48000, blockFrames);
            ASSERT_EQ(h.createDefaults(), Success);
            const std::uint64_t tail = static_cast<std::uint64_t>(h.engine().tailSum());
            EXPECT_EQ(renderedFrames(h, blockFrames, inputFrames), roundUpFrames(inputFrames + tail, blockFrames))
                << blockFrames << " / " << inputFrames;

            // Once played out, an empty end-of-input buffer comes back as it went in.
            AudioBuffer& b = h.buffer();
            b.validFrames = 0;
            b.state = NoMoreData;
            const auto posts = h.context.postCount();
            h.engine().Execute(b);
            EXPECT_EQ(b.validFrames, 0u);
            EXPECT_EQ(b.state, NoMoreData);
            EXPECT_EQ(h.context.postCount(), posts);
        }
}

// A tail that grows while it plays is extended by the difference.
TEST(EffectEngine, TailGrowsWhilePlaying)
{
    const std::uint32_t blockFrames = 256;
    EffectHarness h(1, 48000, blockFrames);
    ASSERT_EQ(h.createDefaults(), Success);
    const std::int64_t before = h.engine().tailSum();
    const auto longerEq = [&](std::uint64_t index) {
        if (index == 5) // the second tail buffer after four input buffers
        {
            h.set(P::EQFreq, 120);
            h.set(P::EQQ, 100);
            h.set(P::EQGain, 12);
        }
        return true;
    };
    const std::uint64_t out = renderedFrames(h, blockFrames, 1024, longerEq);
    const std::int64_t after = h.engine().tailSum();
    EXPECT_EQ(after - before, referenceTail(filters::Peaking12(48000, 120.0, 10.0, 12.0)) -
                                  referenceTail(filters::Peaking12(48000, 1000.0, 1.0, 0.0)));
    EXPECT_GT(after, before + 2 * blockFrames);
    EXPECT_EQ(out, roundUpFrames(1024 + static_cast<std::uint64_t>(after), blockFrames));
}

// A buffer without valid frames (and no tail running) is handed back untouched; so are
// the frames past the valid count of a partial buffer.
TEST(EffectEngine, EmptyAndPartialBuffers)
{
    EffectHarness h(2, 48000, 64);
    ASSERT_EQ(h.createDefaults(), Success);
    h.runMono(std::vector<float>(64, 0.1f));
    const auto posts = h.context.postCount();
    const auto requests = h.allocator.requests();

    AudioBuffer& b = h.buffer();
    for (std::uint32_t c = 0; c < 2; ++c)
        std::fill(b.channel(c), b.channel(c) + 64, 7.f);
    b.validFrames = 0;
    b.state = Success;
    h.engine().Execute(b);
    EXPECT_EQ(b.state, Success);
    EXPECT_EQ(b.validFrames, 0u);
    EXPECT_EQ(h.context.postCount(), posts);
    EXPECT_EQ(h.allocator.requests(), requests);
    for (std::uint32_t c = 0; c < 2; ++c)
        for (std::uint32_t i = 0; i < 64; ++i)
            ASSERT_EQ(b.channel(c)[i], 7.f);

    b.validFrames = 10;
    h.engine().Execute(b);
    EXPECT_EQ(b.validFrames, 10u);
    for (std::uint32_t c = 0; c < 2; ++c)
    {
        EXPECT_NE(b.channel(c)[0], 7.f);
        for (std::uint32_t i = 10; i < 64; ++i)
            ASSERT_EQ(b.channel(c)[i], 7.f);
    }
}
