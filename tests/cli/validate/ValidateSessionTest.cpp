// The validator's session against effects with one known fault each: every fault must be
// reported, and a well-behaved effect must pass.
#include "cli/render/EffectHost.h"
#include "cli/validate/AllocationFailures.h"
#include "cli/validate/EffectSession.h"
#include "cli/validate/OutputBound.h"
#include "engine/DawTail.h"
#include "params/ParameterTable.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

using namespace ZQ::Quarl;

namespace
{
enum class Fault
{
    None,       // silence out, meters right, no tail
    NaN,        // NaN out
    Subnormal,  // subnormals out
    Loud,       // far louder than any setting allows
    BadMeters,   // a record one channel short
    EndlessTail, // reports more data for ever
    Leak,        // loses its first block when the second cannot be had
    WrongCode,   // reports a failed allocation with 31, not 52
};
Fault g_fault = Fault::None;

class FakeParams final : public IEffectParams
{
public:
    void* DeletingDestructor(unsigned int) noexcept override { return this; }
    Result SetParam(PluginParamId id, const void*, std::uint32_t) noexcept override
    {
        return findParameter(id) != nullptr ? Success : InvalidParameter;
    }
    IEffectParams* Clone(IAllocator*) noexcept override { return nullptr; }
    Result Init(IAllocator*, const void*, std::uint32_t) noexcept override { return Success; }
    Result Term(IAllocator* allocator) noexcept override
    {
        this->~FakeParams();
        allocator->Free(this);
        return Success;
    }
    Result SetParamsBlock(const void*, std::uint32_t bytes) noexcept override { return bytes == 139 ? Success : InvalidParameter; }
};

class FakeEffect final : public IEffectPlugin
{
public:
    void* DeletingDestructor(unsigned int) noexcept override { return this; }
    Result Term(IAllocator* allocator) noexcept override
    {
        allocator->Free(m_first);
        allocator->Free(m_second);
        this->~FakeEffect();
        allocator->Free(this);
        return Success;
    }
    Result Reset() noexcept override { return Success; }
    Result GetPluginInfo(PluginInfo&) noexcept override { return Success; }
    bool SupportsMonitoring() noexcept override { return true; }
    std::uint32_t GetLatency() noexcept override { return 0; }
    // Two blocks of state, as a processor with two stages has.
    Result Init(IAllocator* allocator, IProcessingContext* context, IEffectParams*, const AudioFormat&) noexcept override
    {
        m_allocator = allocator;
        m_context = context;
        m_first = allocator->Malloc(16);
        m_second = m_first != nullptr ? allocator->Malloc(16) : nullptr;
        if (m_second == nullptr)
        {
            if (g_fault != Fault::Leak)
                allocator->Free(m_first);
#if defined(__SANITIZE_ADDRESS__)
            else if (m_first != nullptr)
                __lsan_ignore_object(m_first); // lost on purpose
#endif
            m_first = nullptr;
            return InsufficientMemory;
        }
        return Success;
    }
    void Execute(AudioBuffer& buffer) noexcept override
    {
        // Working memory for every buffer.
        void* scratch = m_allocator->Malloc(64);
        if (scratch == nullptr)
        {
            buffer.state = g_fault == Fault::WrongCode ? InvalidParameter : InsufficientMemory;
            return;
        }
        m_allocator->Free(scratch);
        if (buffer.state == NoMoreData)
        {
            // No tail: an empty buffer after the end comes back as it came.
            if (buffer.validFrames == 0 && g_fault != Fault::EndlessTail)
                return;
            buffer.validFrames = buffer.maxFrames;
            if (g_fault == Fault::EndlessTail)
                buffer.state = DataReady;
        }
        float value = 0.f;
        switch (g_fault)
        {
        case Fault::NaN: value = std::numeric_limits<float>::quiet_NaN(); break;
        case Fault::Subnormal: value = std::numeric_limits<float>::denorm_min(); break;
        case Fault::Loud: value = 1e30f; break;
        default: break;
        }
        for (std::uint32_t c = 0; c < buffer.channelCount; ++c)
            for (std::uint32_t i = 0; i < buffer.maxFrames; ++i)
                buffer.channel(c)[i] = value;
        std::vector<std::uint8_t> record(4 + 28 * buffer.channelCount, 0);
        std::uint32_t count = buffer.channelCount - (g_fault == Fault::BadMeters ? 1 : 0);
        std::memcpy(record.data(), &count, 4);
        for (std::uint32_t c = 0; c < buffer.channelCount; ++c)
        {
            const float meters[7] = {0.f, std::fabs(value), 0.f, 0.f, 1.f, 0.f, 1.f};
            std::memcpy(record.data() + 4 + 28 * c, meters, sizeof meters);
        }
        m_context->PostMonitorData(record.data(), static_cast<std::uint32_t>(record.size()));
    }
    Result TimeSkip(std::uint32_t&) noexcept override { return DataReady; }

private:
    IAllocator* m_allocator = nullptr;
    IProcessingContext* m_context = nullptr;
    void* m_first = nullptr;
    void* m_second = nullptr;
};

template <class T>
T* make(IAllocator* allocator)
{
    void* raw = allocator->Malloc(sizeof(T));
    return raw != nullptr ? new (raw) T() : nullptr;
}

IEffectPlugin* makeEffect(IAllocator* allocator)
{
    return make<FakeEffect>(allocator);
}

IEffectParams* makeParams(IAllocator* allocator)
{
    return make<FakeParams>(allocator);
}

const PluginRegistration kFake{nullptr, 3, 1, 2, makeEffect, makeParams, nullptr};

quarl::PluginDescription description()
{
    return quarl::PluginDescription::load(CRUMLET_DESCRIPTION_SOURCE);
}

SessionResult runWith(Fault fault)
{
    g_fault = fault;
    SessionSpec spec;
    spec.seconds = 0.0;
    spec.minFrames = 4096;
    spec.bufferSizes = {64};
    const quarl::PluginDescription d = description();
    SessionResult r = runSession(kFake, d, spec);
    g_fault = Fault::None;
    return r;
}
} // namespace

TEST(ValidateSession, AWellBehavedEffectPasses)
{
    const SessionResult r = runWith(Fault::None);
    EXPECT_TRUE(r.ok()) << r.failure;
    EXPECT_EQ(r.frames, 4096u);
    EXPECT_EQ(r.buffers, 64u);
}

TEST(ValidateSession, EachFaultIsReported)
{
    const struct
    {
        Fault fault;
        const char* says;
    } cases[] = {
        {Fault::NaN, "NaN or Inf out of finite input"},
        {Fault::Subnormal, "subnormal"},
        {Fault::Loud, "the gains allow"},
        {Fault::BadMeters, "a meter record counting"},
        {Fault::EndlessTail, "more than a minute"},
    };
    for (const auto& c : cases)
    {
        const SessionResult r = runWith(c.fault);
        EXPECT_NE(r.failure.find(c.says), std::string::npos) << "expected \"" << c.says << "\", got: " << r.failure;
    }
}

TEST(ValidateSession, SameSeedPlaysTheSameSession)
{
    SessionSpec spec;
    spec.seconds = 0.0;
    spec.minFrames = 2000;
    spec.bufferSizes = {};
    spec.values = Automation::Values::AnyValue;
    const quarl::PluginDescription d = description();
    g_fault = Fault::None;
    const SessionResult a = runSession(kFake, d, spec), b = runSession(kFake, d, spec);
    EXPECT_EQ(a.buffers, b.buffers);
    spec.seed = 2;
    EXPECT_NE(runSession(kFake, d, spec).buffers, a.buffers) << "another seed, another schedule";
}

TEST(ValidateAllocationFailures, AnEffectThatHandlesEveryFailurePasses)
{
    g_fault = Fault::None;
    const AllocationFailureReport r = checkAllocationFailures(kFake, 48000, 2);
    EXPECT_TRUE(r.failure.empty()) << r.failure;
    // The two objects, two blocks of state, and working memory for eight buffers.
    EXPECT_EQ(r.sites, 2u + 2u + 8u);
}

TEST(ValidateAllocationFailures, LeaksAndWrongCodesAreReported)
{
    g_fault = Fault::Leak;
    const AllocationFailureReport leak = checkAllocationFailures(kFake, 48000, 2);
    EXPECT_NE(leak.failure.find("allocation 4 "), std::string::npos) << leak.failure;
    EXPECT_NE(leak.failure.find("leaked"), std::string::npos) << leak.failure;
    g_fault = Fault::WrongCode;
    const AllocationFailureReport code = checkAllocationFailures(kFake, 48000, 2);
    EXPECT_NE(code.failure.find("host code 31"), std::string::npos) << code.failure;
    g_fault = Fault::None;
}

// Known answers of the bound's arithmetic.
TEST(OutputBound, ResonanceOfASecondOrderSection)
{
    EXPECT_DOUBLE_EQ(OutputBound::resonance(1.5), 1.0); // no peak above √2
    // The sharpest the Q controls go: d = 1.414 − 1.1312.
    const double d = 1.414 - 1.1312;
    EXPECT_NEAR(OutputBound::resonance(d), 4.0 / M_PI / (d * std::sqrt(1.0 - d * d / 4.0)), 1e-12);
    EXPECT_NEAR(OutputBound::resonance(d), 4.547, 0.001);
}

TEST(OutputBound, DefaultsAndTheDryPath)
{
    const quarl::PluginDescription d = description();
    Automation settings(d, 1, Automation::Route::SingleUpdates, Automation::Values::InRange);
    FakeParams params;
    // Every stage off and balance 0: only the dry path, at unity gain, times the headroom.
    for (const char* stage :
         {"FiltersEnable", "DistortionEnable", "EQEnable", "NoiseEnable", "SIMEnable", "GateEnable", "LoFiEnable"})
        settings.set(params, stage, 0.0);
    settings.set(params, "Balance", 0.0);
    EXPECT_DOUBLE_EQ(OutputBound::of(settings, 0.5), OutputBound::kRingingHeadroom * 0.5);
    // Balance 100 and +24 dB out: the wet path only.
    settings.set(params, "Balance", 100.0);
    settings.set(params, "OutputGain", 24.0);
    EXPECT_NEAR(OutputBound::of(settings, 0.5), OutputBound::kRingingHeadroom * 0.5 * std::pow(10.0, 24.0 / 20.0), 1e-9);
    // Distortion clips: whatever the input, at most 2 before the later stages.
    settings.set(params, "DistortionEnable", 1.0);
    EXPECT_NEAR(OutputBound::of(settings, 1000.0), OutputBound::kRingingHeadroom * 2.0 * std::pow(10.0, 24.0 / 20.0),
                1e-9);
}

TEST(Automation, ValuesOutsideTheRangesAreHeldAsTheEffectHoldsThem)
{
    const quarl::PluginDescription d = description();
    Automation settings(d, 1, Automation::Route::SingleUpdates, Automation::Values::AnyValue);
    FakeParams params;
    settings.set(params, "EQFreq", 1e9);
    EXPECT_EQ(settings.effective("EQFreq"), 12000.0);
    settings.set(params, "EQFreq", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(settings.effective("EQFreq"), 1000.0) << "NaN gives the default";
    settings.set(params, "LoFiBitDepthType", 7.9);
    EXPECT_EQ(settings.effective("LoFiBitDepthType"), 7.0) << "truncated";
    settings.set(params, "GateThreshold", -1e30);
    EXPECT_EQ(settings.effective("GateThreshold"), -80.0);
    settings.set(params, "SIMEnable", 5.0);
    EXPECT_EQ(settings.effective("SIMEnable"), 1.0);
}

TEST(Automation, TheDefaultBlockIsTheHostsLayout)
{
    const quarl::PluginDescription d = description();
    const Automation settings(d, 1, Automation::Route::WholeBlocks, Automation::Values::InRange);
    const std::vector<std::uint8_t> block = settings.block();
    ASSERT_EQ(block.size(), 139u);
    EXPECT_EQ(block[0], 1);
    const std::uint8_t lpf[] = {0x00, 0xA0, 0x8C, 0x46}; // 18000.0
    EXPECT_EQ(std::memcmp(block.data() + 5, lpf, 4), 0);
    const std::uint8_t balance[] = {0x00, 0x00, 0xC8, 0x42}; // 100.0
    EXPECT_EQ(std::memcmp(block.data() + 135, balance, 4), 0);
}

TEST(ValidateSession, CoincidingResonancesRingPastTheEffectsTailButWithinTheDawTail)
{
    // The module itself, with the Filters' high- and low-pass and the EQ at one frequency:
    // the validator measures how long the output really rings after the input.
    const EffectHost& host = EffectHost::instance();
    std::uint64_t pastOwnTail = 0;
    for (std::uint64_t seed = 1; seed <= 8; ++seed)
    {
        SessionSpec spec;
        spec.bufferSizes = {512};
        spec.automationInterval = 0;
        spec.seconds = 0.0;
        spec.minFrames = 24000;
        spec.only = SignalKind::Noise;
        spec.seed = seed;
        spec.tailInSilence = true;
        spec.coincidingResonances = true;
        const SessionResult r = runSession(host.effect(), host.description(), spec);
        ASSERT_TRUE(r.ok()) << r.failure;
        ASSERT_GT(r.effectTail, 0u);
        pastOwnTail += r.ringFrames > r.effectTail ? 1 : 0;
        EXPECT_LE(r.ringFrames, static_cast<std::uint64_t>(dawTailFrames(static_cast<std::int64_t>(r.effectTail))))
            << seed;
    }
    EXPECT_GT(pastOwnTail, 0u);
}
