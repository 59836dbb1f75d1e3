// What measuring a render's output costs, per channel-sample: loudness, the true-peak
// oversampler, and both with the peaks and clip count; and the K-weighted loudness alone on a
// mono line against libebur128 measuring the same (the two passes of a loudness-normalised
// dialogue render: integrated only for the gain, with the range for the report).
#include "cli/metering/KWeightedLoudness.h"
#include "cli/metering/LevelMeter.h"
#include "cli/metering/TruePeakMeter.h"

#include <benchmark/benchmark.h>
#include <ebur128.h>

#include <cmath>
#include <vector>

namespace
{
constexpr std::uint32_t kFrames = 512;
constexpr std::uint32_t kChannels = 2;

std::vector<float> programme()
{
    std::vector<float> x(kFrames * kChannels);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 0.5f * std::sin(0.01f * static_cast<float>(i)) + 0.1f * std::sin(0.37f * static_cast<float>(i));
    return x;
}

void BM_TruePeak(benchmark::State& state)
{
    const auto x = programme();
    TruePeakMeter meter(kChannels, 48000);
    for (auto _ : state)
        meter.add(x.data(), kFrames);
    benchmark::DoNotOptimize(meter.peak());
    state.counters["ns/channel-sample"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames * kChannels,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TruePeak);

void BM_LevelMeter(benchmark::State& state)
{
    const auto x = programme();
    const auto measure = state.range(0) != 0 ? LevelMeter::Measure::Everything : LevelMeter::Measure::Loudness;
    LevelMeter meter(kChannels, 48000, measure);
    for (auto _ : state)
        meter.add(x.data(), kFrames);
    state.counters["ns/channel-sample"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames * kChannels,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LevelMeter)->Arg(0)->Arg(1);

// A 4 s mono line at 48 kHz handed in 4096 frames at a time, a new meter per line.
constexpr std::uint32_t kLineFrames = 4 * 48000;
constexpr std::uint32_t kLineChunk = 4096;

std::vector<float> monoLine()
{
    std::vector<float> x(kLineFrames);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 0.3f * std::sin(0.013f * static_cast<float>(i)) * std::sin(0.00011f * static_cast<float>(i));
    return x;
}

void perChannelSample(benchmark::State& state)
{
    state.counters["ns/channel-sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * kLineFrames,
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Arg: 0 integrated loudness only, 1 with the loudness range.
void BM_KWeightedLoudnessMonoLine(benchmark::State& state)
{
    const auto x = monoLine();
    for (auto _ : state)
    {
        KWeightedLoudness meter(1, 48000, state.range(0) != 0);
        for (std::uint32_t at = 0; at < kLineFrames; at += kLineChunk)
            meter.add(x.data() + at, std::min(kLineChunk, kLineFrames - at));
        benchmark::DoNotOptimize(meter.integratedLufs());
    }
    perChannelSample(state);
}
BENCHMARK(BM_KWeightedLoudnessMonoLine)->Arg(0)->Arg(1);

void BM_Libebur128MonoLine(benchmark::State& state)
{
    const auto x = monoLine();
    for (auto _ : state)
    {
        ebur128_state* meter = ebur128_init(1, 48000, state.range(0) != 0 ? EBUR128_MODE_I | EBUR128_MODE_LRA : EBUR128_MODE_I);
        for (std::uint32_t at = 0; at < kLineFrames; at += kLineChunk)
            ebur128_add_frames_float(meter, x.data() + at, std::min(kLineChunk, kLineFrames - at));
        double lufs = 0.0;
        ebur128_loudness_global(meter, &lufs);
        benchmark::DoNotOptimize(lufs);
        ebur128_destroy(&meter);
    }
    perChannelSample(state);
}
BENCHMARK(BM_Libebur128MonoLine)->Arg(0)->Arg(1);
} // namespace
