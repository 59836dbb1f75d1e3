// The whole chain's output pinned bit for bit: a fingerprint of every output sample and
// meter over several seconds of programme, for several channel counts and buffer sizes,
// taken from the plain channel-by-channel chain. Any change in the order or rounding of
// a single float operation anywhere in the chain changes the fingerprint. Each channel is
// also pinned with the chain cut after every stage, so that a failure says where the
// output first changed: the stage, the channel and, when the other lane width still gives
// the pinned output, the first sample.
#include "engine/simd/CascadeDispatch.h"
#include "quarl/ProcessingContext.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace crumlet_test;
using namespace ZQ::Quarl;
namespace P = ParamId;

namespace
{
class Fingerprint
{
public:
    void add(const float* v, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            std::uint32_t bits;
            std::memcpy(&bits, &v[i], sizeof bits);
            for (int b = 0; b < 4; ++b)
            {
                m_hash ^= (bits >> (8 * b)) & 0xffu;
                m_hash *= 1099511628211ull;
            }
        }
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 14695981039346656037ull;
};

// Programme of `frames` frames: noise bursts, a swept tone and silence, different per channel.
std::vector<std::vector<float>> programme(std::uint32_t channels, std::uint32_t frames)
{
    std::vector<std::vector<float>> x(channels);
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        x[c] = uniformNoise(frames, 0.8f, 7 + c);
        for (std::uint32_t i = 0; i < frames; ++i)
        {
            const double t = i / 48000.0;
            const double section = std::fmod(t, 1.5);
            if (section < 0.5)
                x[c][i] *= static_cast<float>(0.2 + section);
            else if (section < 1.1)
                x[c][i] = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * (200.0 + 3000.0 * section) *
                                                            t * (1.0 + 0.1 * c)));
            else
                x[c][i] = 0.f;
        }
    }
    return x;
}

BlockBuilder busyChain(int simType)
{
    return BlockBuilder()
        .set(P::FiltersHPFFreq, 180).set(P::FiltersHPFSlope, 1).set(P::FiltersLPFFreq, 6500)
        .set(P::FiltersLPFSlope, 1).set(P::FiltersLPFQ, 40)
        .set(P::DistortionMode, 2).set(P::DistortionAmount, 60).set(P::DistortionIntensity, 40)
        .set(P::DistortionRectify, 20)
        .set(P::EQGain, 6).set(P::EQQ, 30).set(P::EQFreq, 1800)
        .set(P::NoiseLevel, -40).set(P::NoiseThresh, -30)
        .set(P::SIMType, simType).set(P::SIMTuning, 110)
        .set(P::GateThreshold, -50).set(P::GateRange, -40).set(P::GateHoldTime, 5)
        .set(P::LoFiBitDepthType, 8).set(P::LoFiDownSampleIndex, 2).set(P::LoFiFilter, 30)
        .set(P::OutputGain, -3).set(P::Balance, 90);
}

// The chain's stages in order, by their switches.
constexpr ParameterId kStageSwitches[] = {P::FiltersEnable, P::DistortionEnable, P::EQEnable, P::NoiseEnable,
                                          P::SIMEnable,     P::GateEnable,       P::LoFiEnable};
constexpr int kStages = 7;
const char* const kCutAfter[kStages + 1] = {"with every stage off", "after Filters", "after Distortion",
                                            "after EQ",            "after Noise",   "after SIM",
                                            "after Gate",          "after LoFi"};

struct ChainRun
{
    // Every channel's samples buffer by buffer, then every meter record.
    std::uint64_t whole = 0;
    // Per channel: its samples, then its values in every meter record.
    std::vector<std::uint64_t> channel;
    // Per channel, when kept: the values `channel` prints, in order.
    std::vector<std::vector<float>> kept;
    // Samples per channel (the meter values follow them in `kept`).
    std::size_t samples = 0;
};

// Runs the programme in buffers of `block` frames with the first `stagesOn` stages on,
// changing a few parameters on the way, then plays the tail.
ChainRun render(std::uint32_t channels, std::uint32_t block, int simType, int stagesOn = kStages, bool keep = false)
{
    constexpr std::uint32_t kFrames = 48000 * 3;
    BlockBuilder settings = busyChain(simType);
    for (int s = stagesOn; s < kStages; ++s)
        settings.set(kStageSwitches[s], 0);
    EffectHarness h(channels, 48000, block);
    EXPECT_EQ(h.create(settings), Success);
    h.context.setMonitoring(true);
    const auto in = programme(channels, kFrames);
    Fingerprint whole;
    std::vector<Fingerprint> perChannel(channels);
    ChainRun run;
    run.kept.resize(keep ? channels : 0);
    auto take = [&](std::uint32_t c, const float* v, std::size_t n) {
        run.samples += c == 0 ? n : 0;
        whole.add(v, n);
        perChannel[c].add(v, n);
        if (keep)
            run.kept[c].insert(run.kept[c].end(), v, v + n);
    };
    std::vector<std::vector<float>> chunk(channels, std::vector<float>(block));
    std::uint32_t buffers = 0;
    for (std::uint32_t start = 0; start < kFrames; start += block, ++buffers)
    {
        if (buffers == 40)
            h.set(P::InputGain, -4);
        if (buffers == 90)
            h.set(P::SIMType, 99);
        if (buffers == 150)
            h.set(P::DistortionMode, 7);
        const std::uint32_t n = std::min(block, kFrames - start);
        for (std::uint32_t c = 0; c < channels; ++c)
            std::copy(in[c].begin() + start, in[c].begin() + start + n, chunk[c].begin());
        const bool last = start + n >= kFrames;
        h.run(chunk, n, last ? NoMoreData : Success);
        for (std::uint32_t c = 0; c < channels; ++c)
            take(c, h.output(c).data(), n);
    }
    std::vector<std::vector<float>> silence(channels, std::vector<float>(block, 0.f));
    for (int tail = 0; tail < 2000 && h.run(silence, 0, NoMoreData) == DataReady; ++tail)
        for (std::uint32_t c = 0; c < channels; ++c)
            take(c, h.output(c).data(), block);
    for (const auto& record : h.context.records())
    {
        whole.add(reinterpret_cast<const float*>(record.data()), record.size() / sizeof(float));
        const auto meters = quarl::decodeMeterRecord(record);
        for (std::uint32_t c = 0; c < channels && c < meters.size(); ++c)
        {
            perChannel[c].add(meters[c].values, std::size(meters[c].values));
            if (keep)
                run.kept[c].insert(run.kept[c].end(), std::begin(meters[c].values), std::end(meters[c].values));
        }
    }
    run.whole = whole.value();
    for (const Fingerprint& f : perChannel)
        run.channel.push_back(f.value());
    return run;
}

std::string bitsOf(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    char text[64];
    std::snprintf(text, sizeof text, "%.9g (0x%08x)", static_cast<double>(v), bits);
    return text;
}

struct Pinned
{
    std::uint32_t channels, block;
    int simType;
    std::uint64_t fingerprint;
};

// Per channel, the fingerprint of ChainRun::channel with the first k stages on, k = 0 to 7.
using StagePins = std::vector<std::array<std::uint64_t, kStages + 1>>;

// Where a case first differs from its pins, in chain order: the stage the chain was cut
// after, the channel and, when the other lane width still gives the pinned values there,
// the first value that differs. Empty when every print is as pinned.
std::string firstDifference(const Pinned& p, const StagePins& pins, bool wide)
{
    for (int on = 0; on <= kStages; ++on)
    {
        const ChainRun run = render(p.channels, p.block, p.simType, on);
        for (std::uint32_t c = 0; c < p.channels; ++c)
        {
            if (run.channel[c] == pins[c][on])
                continue;
            const std::string where = "first differs " + std::string(kCutAfter[on]) + ", channel " + std::to_string(c);
            if (!wide && !wideLanesAvailable())
                return where + " (no other lane width here to compare with)";
            allowWideLanes(!wide);
            const ChainRun reference = render(p.channels, p.block, p.simType, on, true);
            allowWideLanes(wide);
            if (reference.channel[c] != pins[c][on])
                return where + " (the other lane width too: the stage's own arithmetic changed)";
            const ChainRun failing = render(p.channels, p.block, p.simType, on, true);
            const auto& a = failing.kept[c];
            const auto& b = reference.kept[c];
            std::size_t i = 0;
            while (i < a.size() && i < b.size() && std::memcmp(&a[i], &b[i], sizeof(float)) == 0)
                ++i;
            if (i >= a.size() || i >= b.size())
                return where + ": " + std::to_string(a.size()) + " values where the other lane width gives " +
                       std::to_string(b.size());
            const std::string at = i < failing.samples
                                       ? "sample " + std::to_string(i)
                                       : "meter value " + std::to_string(i - failing.samples);
            return where + ", from " + at + " on: " + bitsOf(a[i]) + " where the other lane width gives the pinned " +
                   bitsOf(b[i]);
        }
    }
    return {};
}

const Pinned kCases[] = {
    {1, 512, 1, 0x3fc15231c4140d24ull}, {2, 512, 1, 0x6a142a7ad36908c3ull}, {2, 37, 4, 0x87308844de5b02baull},
    {2, 1000, 0, 0x73d1c68647a62e93ull}, {3, 256, 99, 0xa5a3962664a0be5bull}, {6, 512, 1, 0xd34af061fe9569caull},
    {2, 64, 1, 0x51cb8f17b521de55ull},  {1, 1, 4, 0xdbddb0c04563d1d8ull},
};

// kStagePins[i]: per channel of kCases[i], the print of ChainRun::channel with the first k
// stages on, k = 0 (the gains and the mix alone) to 7 (the whole chain).
// clang-format off
const StagePins kStagePins[] = {
    // 1 channel, buffers of 512, model 1
    {{{0x1c19e97e233b56ad, 0x903c0115833e86fa, 0xa0f0d3cdf9f53e06, 0x2e45d27968b29d59, 0xa02eb3a9725b7a37, 0x2a82e1816f039b8d, 0xcde982be728ab5b4, 0xd86f312488af1ef5}}},
    // 2 channels, buffers of 512, model 1
    {{{0x1c19e97e233b56ad, 0x903c0115833e86fa, 0xa0f0d3cdf9f53e06, 0x2e45d27968b29d59, 0x7c95f333b608e188, 0xba852e1033272673, 0x9e6950fe4dbf34d5, 0x1c936815e73a179a}},
     {{0xb33313115affcabf, 0x3063551055cd1199, 0x51b5afe5f31380b3, 0xfd4bba40559bcf27, 0x60e4f4cabf06c79e, 0x8ab28aedbf76c459, 0xb27634ddc6a93600, 0x919726fabcf02572}}},
    // 2 channels, buffers of 37, model 4
    {{{0x6af65326471095ef, 0x70d2251fc4e691c7, 0x668d7c9c6a97d2a6, 0xaf29f8506f2a639a, 0x9aad09c3b31c4e06, 0xf11308720e3c4dae, 0x5dbd8b570dfa56e2, 0x327aa4ee13a52866}},
     {{0x71fd28ba2bbbcd8a, 0x7d4c0f463abf086d, 0xb3eb81f635b71542, 0x3467c4581a97c0dc, 0xf545ab641266b8d8, 0xd16c5e698d75edf7, 0x0a2948f586da055c, 0x32c411ca1f375b39}}},
    // 2 channels, buffers of 1000, model 0
    {{{0x7d7c2f1faa36adde, 0xc70d36d04d4a3c91, 0xf5a6829ea1f7d23d, 0x010ef54e980b0baa, 0xc089d1fedab1f67b, 0x4a5bb5a9dcde0b4a, 0x725da85786df7ca2, 0x64ec9a2b45f529a3}},
     {{0xa4edfec7bb548a54, 0xd3ac339c77bcbeeb, 0xe321aeb81c68ec84, 0x442a9f93d9c85ffc, 0x43cb683dd52cfdc6, 0x17767d6437d4834a, 0x36cbdbae3b21ee6a, 0x7443f64d397b9df9}}},
    // 3 channels, buffers of 256, model 99
    {{{0x50eb2f2f65bca269, 0x0c4743279dbe71dc, 0x1843c5fc17b31160, 0x4161d03abf0a7cfc, 0x6d2e6f016da9b195, 0xeeddde8a7d2ed73f, 0xab1471e30bc01879, 0x09ad3c45df574078}},
     {{0x7cb2865ccb7b6ecd, 0x6b0c680eb6551e7f, 0x710b8a2eee1158c3, 0x3a551f64a3c70a0b, 0x23ea73f282d6dad2, 0x2cf5bbb45bb1a251, 0x5672353eabe0fd7a, 0x1e1705f8065832db}},
     {{0xf86c349c7535ef6e, 0x6547c88d8cef8d07, 0xef439b8f755dc3e1, 0xc9968174802d4ee0, 0xe337b584438c0562, 0x1461a451cf8745b0, 0xe9870fe8b1ab31c5, 0x4b688b84e8876743}}},
    // 6 channels, buffers of 512, model 1
    {{{0x1c19e97e233b56ad, 0x903c0115833e86fa, 0xa0f0d3cdf9f53e06, 0x2e45d27968b29d59, 0x0f9d998e21824bdb, 0x6b480ea838b0925d, 0x5ef8fd3a49bcf163, 0x5e9ed81d824e2aba}},
     {{0xb33313115affcabf, 0x3063551055cd1199, 0x51b5afe5f31380b3, 0xfd4bba40559bcf27, 0xef5c88437e99f7d9, 0x63c1cfef2a3c5b4e, 0xcebc63997cb8d369, 0xa8db3fb251d0cc9c}},
     {{0xadd73f415fab0288, 0x22bd2d634bf57124, 0x6b9abc5bf31f93c5, 0x7356a302dca088c9, 0x0c30b2c23048a8ed, 0xef6b9e225cfc9cbf, 0xabe06ad6558deec3, 0x48fb73765f87502c}},
     {{0xb92ac47d60dddfa1, 0x3ff58f575e260c7a, 0x6488a0488449f0f5, 0xec7972a5cc46920d, 0xb170b7d6f48bb42a, 0xb93f26e91c21cdfa, 0xaaf6852644a5fab7, 0x5f43358499b79fa2}},
     {{0x221a821b332b64e1, 0xdc65c4763c5a0766, 0x65edf83dbd57de7b, 0x11c94c0a8f53dc7b, 0x1858559c27a3e733, 0xe11536313d54b0f8, 0x3933cc07f92dbf63, 0xa75feecd96b471b0}},
     {{0xdbaec7e17d28ef89, 0xc41e4addfd716c52, 0xe43723c734683a10, 0x8b833e7044880660, 0x105d684e10afdee7, 0xcebcf8d2f497d815, 0xa78fee507e8dd301, 0x6a5afa0be44cebc1}}},
    // 2 channels, buffers of 64, model 1
    {{{0x0a339a221462045e, 0x965d3c34a43ac157, 0x404fe2b3fbf8c1a5, 0xfa777b1721daaa68, 0x8f0dff24ae14a6d9, 0x77768c3cee4c1f6c, 0x6b8d2ec1091a3220, 0x65491c3b2db71e37}},
     {{0x25cd1ddb47a24e34, 0xb6e6e53430423b71, 0xb5efdaa03dce2ea0, 0x8d6e7d3da5ea5c94, 0x4795f3e360ca1528, 0x410fcdd17679e2f0, 0xc4fbc1a018887789, 0x8efe6c53e4a28f4f}}},
    // 1 channel, buffers of 1, model 4
    {{{0x70dafb0ae4d8711c, 0x72678193900fd6d0, 0x9b2e8115765af492, 0xaa388d1f32b3cf68, 0x9cc366df0fc1fcd6, 0xded133d6382a4e24, 0x2e02d096f9acf216, 0x39fe99a0f33bb079}}},
};
// clang-format on

// Calls check(case, its stage pins, wide, description) for every case on the four-lane path
// and, where the processor has it, the eight-lane one.
template <typename Check>
void forEveryCase(Check check)
{
    for (const bool wide : {false, true})
    {
        if (wide && !wideLanesAvailable())
            continue;
        allowWideLanes(wide);
        for (std::size_t i = 0; i < std::size(kCases); ++i)
        {
            const Pinned& p = kCases[i];
            const std::string description = std::to_string(p.channels) + " channels, buffers of " +
                                            std::to_string(p.block) + ", model " + std::to_string(p.simType) +
                                            (wide ? ", widest path" : ", SSE2 path");
            check(p, kStagePins[i], wide, description);
        }
    }
    allowWideLanes(true);
}
} // namespace

TEST(ChainKnownOutput, EverySampleAsPinned)
{
    forEveryCase([](const Pinned& p, const StagePins& pins, bool wide, const std::string& description) {
        const std::uint64_t print = render(p.channels, p.block, p.simType).whole;
        EXPECT_EQ(print, p.fingerprint) << description << ": "
                                        << (print != p.fingerprint ? firstDifference(p, pins, wide) : "");
    });
}

// The chain cut after each stage in turn: a change hidden from the whole chain's output
// (by a later stage's rounding, say) shows here, and a failure names its stage.
TEST(ChainKnownOutput, AfterEveryStageAsPinned)
{
    forEveryCase([](const Pinned& p, const StagePins& pins, bool wide, const std::string& description) {
        EXPECT_EQ(firstDifference(p, pins, wide), "") << description;
    });
}

// Some stages run in chunks of frames, and pairs of stages share a loop: where the host
// cuts the programme into buffers must not change a sample. (Each buffer's noise is drawn
// channel after channel, so with several channels the noise is off.)
TEST(ChainKnownOutput, SamplesDoNotDependOnWhereBuffersEnd)
{
    constexpr std::uint32_t kFrames = 24000;
    auto prints = [](std::uint32_t channels, std::uint32_t block) {
        BlockBuilder settings = busyChain(1);
        if (channels > 1)
            settings.set(P::NoiseEnable, 0);
        EffectHarness h(channels, 48000, block);
        EXPECT_EQ(h.create(settings), Success);
        const auto in = programme(channels, kFrames);
        std::vector<Fingerprint> prints(channels);
        std::vector<std::vector<float>> chunk(channels, std::vector<float>(block));
        for (std::uint32_t start = 0; start < kFrames; start += block)
        {
            const std::uint32_t n = std::min(block, kFrames - start);
            for (std::uint32_t c = 0; c < channels; ++c)
                std::copy(in[c].begin() + start, in[c].begin() + start + n, chunk[c].begin());
            h.run(chunk, n, Success);
            for (std::uint32_t c = 0; c < channels; ++c)
                prints[c].add(h.output(c).data(), n);
        }
        std::vector<std::uint64_t> values;
        for (const Fingerprint& f : prints)
            values.push_back(f.value());
        return values;
    };
    for (const bool wide : {false, true})
    {
        if (wide && !wideLanesAvailable())
            continue;
        allowWideLanes(wide);
        for (const std::uint32_t channels : {1u, 2u, 5u})
        {
            const auto whole = prints(channels, 512);
            for (const std::uint32_t block : {1u, 3u, 37u, 63u, 64u, 65u, 100u, 333u, 1000u})
                EXPECT_EQ(prints(channels, block), whole)
                    << channels << " channels, buffers of " << block << (wide ? ", widest path" : ", SSE2 path");
        }
    }
    allowWideLanes(true);
}
