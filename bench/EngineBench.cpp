// Processing cost of the effect, in ns per channel-sample (stereo, 48 kHz, 512-frame buffers).
#include "engine/EffectEngine.h"
#include "engine/EngineParams.h"
#include "engine/simd/CascadeDispatch.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace ZQ::Quarl;

namespace
{
constexpr std::uint32_t kRate = 48000;
constexpr std::uint32_t kChannels = 2;
constexpr std::uint32_t kFrames = 512;

void setFloat(EngineParams& p, ParameterId id, float v)
{
    p.SetParam(id, &v, sizeof v);
}

void setInt(EngineParams& p, ParameterId id, std::int32_t v)
{
    p.SetParam(id, &v, sizeof v);
}

void setSwitch(EngineParams& p, ParameterId id, bool on)
{
    p.SetParam(id, &on, sizeof on);
}

constexpr ParameterId kSwitches[] = {ParamId::FiltersEnable, ParamId::DistortionEnable, ParamId::EQEnable,
                                     ParamId::NoiseEnable,   ParamId::SIMEnable,        ParamId::GateEnable,
                                     ParamId::LoFiEnable};

// Every stage doing audible work.
void configureBusyChain(EngineParams& p)
{
    setFloat(p, ParamId::FiltersHPFFreq, 200.f);
    setInt(p, ParamId::FiltersHPFSlope, 1);
    setFloat(p, ParamId::FiltersLPFFreq, 6000.f);
    setInt(p, ParamId::FiltersLPFSlope, 1);
    setInt(p, ParamId::DistortionMode, 2);
    setFloat(p, ParamId::DistortionAmount, 60.f);
    setFloat(p, ParamId::DistortionIntensity, 40.f);
    setFloat(p, ParamId::EQGain, 6.f);
    setFloat(p, ParamId::NoiseLevel, -40.f);
    setFloat(p, ParamId::NoiseThresh, -30.f);
    setInt(p, ParamId::SIMType, 1);
    setFloat(p, ParamId::GateThreshold, -60.f);
    setFloat(p, ParamId::GateRange, -40.f);
    setFloat(p, ParamId::LoFiBitDepthType, 8.f);
    setFloat(p, ParamId::LoFiDownSampleIndex, 2.f);
    setFloat(p, ParamId::LoFiFilter, 30.f);
    setFloat(p, ParamId::OutputGain, -3.f);
}

struct Rig
{
    quarl::HostAllocator allocator;
    quarl::ProcessingContext context{false};
    EngineParams params;
    EffectEngine engine;
    std::vector<float> samples;
    AudioBuffer buffer;

    // onlyStage: one switch left on (the others off); -1: all on; -2: all off.
    explicit Rig(int onlyStage, std::uint32_t channels = kChannels) : samples(channels * kFrames)
    {
        configureBusyChain(params);
        for (int i = 0; i < 7; ++i)
            setSwitch(params, kSwitches[i], onlyStage == -1 || onlyStage == i);
        engine.Init(&allocator, &context, &params, AudioFormat{kRate, channels});
        buffer.channelCount = channels;
        buffer.maxFrames = kFrames;
        buffer.data = samples.data();
    }

    void fillNoise(std::uint32_t& seed, float amplitude)
    {
        for (float& s : samples)
        {
            seed = seed * 1664525u + 1013904223u;
            s = amplitude * (static_cast<float>(seed) / 2147483648.f - 1.f);
        }
    }

    void run()
    {
        buffer.validFrames = kFrames;
        buffer.state = Success;
        engine.Execute(buffer);
    }
};

void reportPerChannelSample(benchmark::State& state, std::uint32_t channels = kChannels)
{
    state.counters["ns_per_ch_sample"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * channels * kFrames * 1e-9,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

const char* const kStageNames[] = {"Filters", "Distortion", "EQ", "Noise", "SIM", "Gate", "LoFi"};

void BM_Stage(benchmark::State& state)
{
    const int stage = static_cast<int>(state.range(0));
    state.SetLabel(stage == -1 ? "whole chain" : stage == -2 ? "no stage (gains, meters, mix)" : kStageNames[stage]);
    Rig rig(stage);
    std::uint32_t seed = 1;
    for (auto _ : state)
    {
        state.PauseTiming();
        rig.fillNoise(seed, 0.5f);
        state.ResumeTiming();
        rig.run();
        benchmark::DoNotOptimize(rig.samples.data());
    }
    reportPerChannelSample(state);
}
BENCHMARK(BM_Stage)->DenseRange(-2, 6)->Unit(benchmark::kMicrosecond);

// The whole chain on signal, without pausing the timer (refill cost included in both).
void BM_ChainSignal(benchmark::State& state)
{
    Rig rig(-1);
    std::uint32_t seed = 1;
    for (auto _ : state)
    {
        rig.fillNoise(seed, 0.5f);
        rig.run();
        benchmark::DoNotOptimize(rig.samples.data());
    }
    reportPerChannelSample(state);
}
BENCHMARK(BM_ChainSignal)->Unit(benchmark::kMicrosecond);

// The whole chain for 1, 2 and 6 channels, on the widest lanes the processor has (1) or on
// the four-lane baseline every x86-64 runs (0).
void BM_ChainChannels(benchmark::State& state)
{
    const auto channels = static_cast<std::uint32_t>(state.range(0));
    const bool wide = state.range(1) != 0;
    if (wide && !wideLanesAvailable())
    {
        state.SkipWithError("no eight-lane vectors on this processor");
        return;
    }
    allowWideLanes(wide);
    state.SetLabel(wide ? "eight lanes" : "four lanes");
    Rig rig(-1, channels);
    std::uint32_t seed = 1;
    for (auto _ : state)
    {
        state.PauseTiming();
        rig.fillNoise(seed, 0.5f);
        state.ResumeTiming();
        rig.run();
        benchmark::DoNotOptimize(rig.samples.data());
    }
    allowWideLanes(true);
    reportPerChannelSample(state, channels);
}
BENCHMARK(BM_ChainChannels)->ArgsProduct({{1, 2, 6}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Two seconds of silence after a loud burst: the decaying filters must not slow down.
void BM_ChainSilenceAfterBurst(benchmark::State& state)
{
    Rig rig(-1);
    std::uint32_t seed = 1;
    for (auto _ : state)
    {
        state.PauseTiming();
        rig.fillNoise(seed, 1.0f);
        rig.run();
        state.ResumeTiming();
        for (std::uint32_t b = 0; b < 2 * kRate / kFrames; ++b)
        {
            rig.fillNoise(seed, 0.f);
            rig.run();
        }
        benchmark::DoNotOptimize(rig.samples.data());
    }
    state.counters["ns_per_ch_sample"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kChannels * (2 * kRate / kFrames) * kFrames * 1e-9,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ChainSilenceAfterBurst)->Unit(benchmark::kMillisecond);

// A device change: the SIM stage's set-up for both channels.
void BM_SimSetup(benchmark::State& state)
{
    quarl::HostAllocator allocator;
    SimStage stage;
    stage.memory.allocate(&allocator, kChannels);
    SimParams p{0, 100.f, true, true};
    const std::uint64_t before = allocator.requests();
    int model = 0;
    for (auto _ : state)
    {
        p.type = model;
        model = (model + 1) % 164;
        benchmark::DoNotOptimize(stage.setup(kRate, p, false));
    }
    state.counters["allocations"] = static_cast<double>(allocator.requests() - before);
    stage.memory.release(&allocator);
}
BENCHMARK(BM_SimSetup)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
