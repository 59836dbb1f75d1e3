#include "cli/validate/AllocationFailures.h"

#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"

#include <cmath>
#include <vector>

using namespace ZQ::Quarl;

namespace
{
constexpr std::uint32_t kFrames = 256;

struct ScriptRun
{
    std::vector<Result> codes; // making the effect, then every buffer
    bool finite = true;
    std::uint64_t requests = 0;   // allocations the script asked for
    bool recovered = false;       // the buffers after the script ran clean
    std::size_t settledBytes = 0; // what is live after them
};

void setSwitch(IEffectParams& params, PluginParamId id, bool on)
{
    params.SetParam(id, &on, sizeof on);
}

// Identifiers of the switches the script toggles: EQ, noise and SIM.
constexpr PluginParamId kEqEnable = 60, kNoiseEnable = 70, kSimEnable = 20;

// Makes the effect (again once if the host's first try ran out of memory), then plays
// eight buffers, toggling stages so that every stage's memory is taken more than once.
ScriptRun runScript(const PluginRegistration& effect, quarl::HostAllocator& allocator, std::uint32_t sampleRate,
                    std::uint32_t channels)
{
    ScriptRun run;
    quarl::ProcessingContext context(false);
    quarl::EffectInstance instance(effect, allocator, &context);
    const AudioFormat format{sampleRate, channels};
    run.codes.push_back(instance.create(nullptr, 0, format));
    if (run.codes.back() != Success)
    {
        instance.destroy();
        run.codes.push_back(instance.create(nullptr, 0, format));
        if (run.codes.back() != Success)
            return run;
    }
    float level = -30.f;
    instance.params()->SetParam(71, &level, sizeof level);
    quarl::AudioBufferStorage storage(channels, kFrames);
    // Eight scripted buffers, then two more with memory to spare.
    for (int i = 0; i < 10; ++i)
    {
        if (i == 8)
            run.requests = allocator.requests();
        if (i == 2)
            setSwitch(*instance.params(), kEqEnable, false);
        if (i == 3)
            setSwitch(*instance.params(), kEqEnable, true);
        if (i == 4)
            setSwitch(*instance.params(), kNoiseEnable, false), setSwitch(*instance.params(), kSimEnable, false);
        if (i == 5)
            setSwitch(*instance.params(), kNoiseEnable, true), setSwitch(*instance.params(), kSimEnable, true);
        AudioBuffer& buffer = storage.buffer();
        for (std::uint32_t c = 0; c < channels; ++c)
            for (std::uint32_t f = 0; f < kFrames; ++f)
                buffer.channel(c)[f] = std::sin(0.05f * static_cast<float>(f + c)) * 0.5f;
        buffer.validFrames = kFrames;
        buffer.state = Success;
        instance.effect()->Execute(buffer);
        if (i < 8)
            run.codes.push_back(buffer.state);
        else
            run.recovered = buffer.state == Success && (i == 8 || run.recovered);
        for (std::uint32_t c = 0; c < channels; ++c)
            for (std::uint32_t f = 0; f < kFrames; ++f)
                run.finite = run.finite && std::isfinite(buffer.channel(c)[f]);
    }
    run.settledBytes = allocator.liveBytes();
    return run;
}
} // namespace

AllocationFailureReport checkAllocationFailures(const PluginRegistration& effect, std::uint32_t sampleRate,
                                                std::uint32_t channels)
{
    AllocationFailureReport report;
    auto fail = [&](std::uint64_t site, const std::string& what) {
        report.failure = "allocation " + std::to_string(site) + " of " + std::to_string(report.sites) + " (" +
                         std::to_string(channels) + " ch): " + what;
        return report;
    };

    quarl::HostAllocator reference;
    const ScriptRun clean = runScript(effect, reference, sampleRate, channels);
    for (Result r : clean.codes)
        if (r != Success)
            return fail(0, "host code " + std::to_string(r) + " with memory to spare");
    report.sites = clean.requests;

    for (std::uint64_t n = 1; n <= report.sites; ++n)
    {
        quarl::HostAllocator allocator;
        allocator.failNth(n);
        const ScriptRun run = runScript(effect, allocator, sampleRate, channels);
        int insufficient = 0;
        for (Result r : run.codes)
        {
            if (r != Success && r != InsufficientMemory)
                return fail(n, "host code " + std::to_string(r));
            insufficient += r == InsufficientMemory;
        }
        if (allocator.failures() != 1 || insufficient != 1)
            return fail(n, std::to_string(insufficient) + " insufficient-memory codes for " +
                               std::to_string(allocator.failures()) + " failed allocations");
        if (!run.recovered)
            return fail(n, "the effect did not recover once memory returned");
        if (!run.finite)
            return fail(n, "NaN or Inf out");
        if (run.settledBytes > clean.settledBytes)
            return fail(n, std::to_string(run.settledBytes - clean.settledBytes) +
                               " bytes leaked: more live after recovery than without the failure");
        if (run.settledBytes < clean.settledBytes)
            return fail(n, std::to_string(clean.settledBytes - run.settledBytes) +
                               " bytes of stage memory missing after recovery");
        if (allocator.liveBlocks() != 0)
            return fail(n, std::to_string(allocator.liveBlocks()) + " blocks leaked");
    }
    return report;
}
