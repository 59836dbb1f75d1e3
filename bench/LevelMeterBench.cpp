// What measuring a render's output costs, per channel-sample: loudness (libebur128), the
// true-peak oversampler, and both with the peaks and clip count.
#include "cli/metering/LevelMeter.h"
#include "cli/metering/TruePeakMeter.h"

#include <benchmark/benchmark.h>

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
} // namespace
