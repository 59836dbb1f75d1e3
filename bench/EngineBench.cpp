// Processing cost of the effect, in ns per channel-sample (stereo, 48 kHz, 512-frame buffers).
#include "engine/EffectEngine.h"
#include "engine/EngineParams.h"
#include "engine/simd/CascadeDispatch.h"
#include "engine/simd/WideRegisters.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
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

// Times `timed` each pass after a fresh buffer of noise at `level`: the refill (and, with
// `runUntimed`, its run through the rig) outside the timer.
template <typename Timed>
void timeAfterNoise(benchmark::State& state, Rig& rig, float level, bool runUntimed, Timed timed)
{
    std::uint32_t seed = 1;
    for (auto _ : state)
    {
        state.PauseTiming();
        rig.fillNoise(seed, level);
        if (runUntimed)
            rig.run();
        state.ResumeTiming();
        timed(seed);
        benchmark::DoNotOptimize(rig.samples.data());
    }
}

// Times the rig on fresh noise each buffer, the refill outside the timer.
void timeOnNoise(benchmark::State& state, Rig& rig)
{
    timeAfterNoise(state, rig, 0.5f, false, [&](std::uint32_t&) { rig.run(); });
}

// One stage (or the whole chain, -1, or none, -2) on `channels` channels.
void timeStage(benchmark::State& state, std::uint32_t channels)
{
    const int stage = static_cast<int>(state.range(0));
    state.SetLabel(stage == -1 ? "whole chain" : stage == -2 ? "no stage (gains, meters, mix)" : kStageNames[stage]);
    Rig rig(stage, channels);
    timeOnNoise(state, rig);
    reportPerChannelSample(state, channels);
}

void BM_Stage(benchmark::State& state) { timeStage(state, kChannels); }
BENCHMARK(BM_Stage)->DenseRange(-2, 6)->Unit(benchmark::kMicrosecond);

// The same for one channel, where a stage's recursions bound it rather than its lanes.
void BM_MonoStage(benchmark::State& state) { timeStage(state, 1); }
BENCHMARK(BM_MonoStage)->DenseRange(-2, 6)->Unit(benchmark::kMicrosecond);

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

// The whole chain for 1, 2 and 6 channels, on the widest vectors the processor has (1: the
// eight-lane cascades, and the stages' AVX-512 copies where it has those) or on the SSE2
// four-lane baseline every x86-64 runs (0).
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
    state.SetLabel(!wide ? "SSE2" : wideRegistersInUse() ? "AVX2 cascades, AVX-512 stages" : "AVX2 cascades");
    Rig rig(-1, channels);
    timeOnNoise(state, rig);
    allowWideLanes(true);
    reportPerChannelSample(state, channels);
}
BENCHMARK(BM_ChainChannels)->ArgsProduct({{1, 2, 6}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Two seconds of silence after a loud burst: the decaying filters must not slow down.
void BM_ChainSilenceAfterBurst(benchmark::State& state)
{
    Rig rig(-1);
    timeAfterNoise(state, rig, 1.0f, true, [&](std::uint32_t& seed) {
        for (std::uint32_t b = 0; b < 2 * kRate / kFrames; ++b)
        {
            rig.fillNoise(seed, 0.f);
            rig.run();
        }
    });
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
        stage.setup(kRate, p);
        benchmark::DoNotOptimize(stage.tail());
    }
    state.counters["allocations"] = static_cast<double>(allocator.requests() - before);
    stage.memory.release(&allocator);
}
BENCHMARK(BM_SimSetup)->Unit(benchmark::kMicrosecond);

// The busy chain as the host stores it: the 139-byte block, field by field.
std::vector<unsigned char> busyBlock()
{
    std::vector<unsigned char> b(139, 0);
    auto at = [&b](std::size_t offset, auto v) { std::memcpy(b.data() + offset, &v, sizeof v); };
    for (std::size_t enable : {0, 25, 42, 59, 84, 93, 114})
        b[enable] = 1;
    at(1, std::int32_t{1}), at(5, 6000.f), at(9, 0.f), at(13, std::int32_t{1}), at(17, 200.f), at(21, 0.f);
    at(26, std::int32_t{2}), at(30, 60.f), at(34, 40.f), at(38, 0.f);
    at(43, std::int32_t{1}), at(47, 1000.f), at(51, 0.f), at(55, 6.f);
    at(60, -40.f), at(64, 18000.f), at(68, 40.f), at(72, -30.f), at(76, -20.f), at(80, 20.f);
    at(85, std::int32_t{1}), at(89, 100.f);
    at(94, -60.f), at(98, -40.f), at(102, 1.f), at(106, 10.f), at(110, 100.f);
    at(115, std::int32_t{8}), at(119, std::int32_t{2}), at(123, 30.f);
    at(127, 0.f), at(131, -3.f), at(135, 100.f);
    return b;
}

// Bytes one stereo instance takes from the host's allocator at initialisation (every
// stage on), and what it asks for per buffer.
void BM_InstanceMemory(benchmark::State& state)
{
    std::size_t initBytes = 0, bufferPeak = 0;
    for (auto _ : state)
    {
        Rig rig(-1);
        initBytes = rig.allocator.liveBytes();
        rig.run();
        bufferPeak = rig.allocator.peakBytes();
    }
    // The processor and its parameter object are made through the allocator too.
    state.counters["init_bytes"] = static_cast<double>(initBytes + sizeof(EffectEngine) + sizeof(EngineParams));
    state.counters["peak_bytes_with_buffer"] = static_cast<double>(bufferPeak);
}
BENCHMARK(BM_InstanceMemory)->Unit(benchmark::kMicrosecond)->Iterations(1);

// A device change as the host makes it: the SIM type set, then applied at the start of
// the next buffer (a buffer without frames, so only the set-up is timed).
void BM_DeviceChange(benchmark::State& state)
{
    Rig rig(-1);
    int model = 0;
    for (auto _ : state)
    {
        model = (model + 1) % 164;
        setInt(rig.params, ParamId::SIMType, model);
        rig.buffer.validFrames = 0;
        rig.buffer.state = Success;
        rig.engine.Execute(rig.buffer);
    }
}
BENCHMARK(BM_DeviceChange)->Unit(benchmark::kMicrosecond);

// A full parameter block: every stage re-allocated and set up at the next buffer.
void BM_ParameterBlock(benchmark::State& state)
{
    Rig rig(-1);
    const std::vector<unsigned char> block = busyBlock();
    for (auto _ : state)
    {
        rig.params.SetParamsBlock(block.data(), static_cast<std::uint32_t>(block.size()));
        rig.buffer.validFrames = 0;
        rig.buffer.state = Success;
        rig.engine.Execute(rig.buffer);
    }
}
BENCHMARK(BM_ParameterBlock)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
