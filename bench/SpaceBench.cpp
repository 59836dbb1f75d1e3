// What a space costs after the effect: the train-station concourse (a stereo response of
// about 3 s at 48 kHz) on a stereo line handed on in 512-frame buffers, as the render does, in
// ns per channel-sample of the whole process's CPU (the small blocks' worker threads
// included; the effect chain's own figure is crumlet_bench's BM_ChainSignal), and the memory
// the convolution holds per second of response (the response itself is held once per process
// by the cache: reported beside it). Making the response, once per process, is timed apart.
#include "space/ImpulseCache.h"
#include "space/RoomImpulse.h"
#include "space/Space.h"
#include "space/SpaceCatalogue.h"
#include "transmission/SeededRandom.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <vector>

namespace
{
using namespace space;
constexpr double kRate = 48000.0;
constexpr std::size_t kBuffer = 512;

std::vector<float> oneSecond(unsigned channels)
{
    transmission::SeededRandom random(1);
    std::vector<float> x(static_cast<std::size_t>(kRate) * channels);
    for (float& v : x)
        v = 0.25f * random.bipolar();
    return x;
}

std::size_t heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void stationOnALine(benchmark::State& state, unsigned channels, Partitioning partitioning)
{
    const SpaceSettings settings = parseSpace("station");
    const auto impulse = ImpulseCache::shared().impulseFor(settings, kRate, channels);
    const double irSeconds = static_cast<double>(impulse->frames()) / kRate;
    const std::size_t before = heapBytes();
    Space space(impulse, channels, Blend{}, partitioning);
    const std::size_t held = heapBytes() - before;
    const auto x = oneSecond(channels);
    std::vector<float> out;
    out.reserve(x.size() + 8192 * channels);
    for (auto _ : state)
    {
        out.clear();
        for (std::size_t at = 0; at < x.size(); at += kBuffer * channels)
            space.process(x.data() + at, kBuffer, out);
        benchmark::DoNotOptimize(out.data());
    }
    // Per the CPU time: with MeasureProcessCPUTime, every thread's.
    state.counters["ns_per_ch_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * kRate * channels * 1e-9,
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["ir_seconds"] = irSeconds;
    state.counters["convolver_MB_per_ir_second"] = static_cast<double>(held) / 1e6 / irSeconds;
    state.counters["cached_ir_MB_per_ir_second"] = static_cast<double>(impulse->bytes()) / 1e6 / irSeconds;
}

void BM_StationStereo(benchmark::State& state) { stationOnALine(state, 2, Partitioning::LargeBlocks); }
BENCHMARK(BM_StationStereo)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_StationMono(benchmark::State& state) { stationOnALine(state, 1, Partitioning::LargeBlocks); }
BENCHMARK(BM_StationMono)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// 64-frame first partitions for a live caller; the larger ones on worker threads.
void BM_StationStereoSmallBlocks(benchmark::State& state) { stationOnALine(state, 2, Partitioning::SmallBlocks); }
BENCHMARK(BM_StationStereoSmallBlocks)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The station's response, made once per process (the cache keeps it).
void BM_MakeStationResponse(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(roomImpulse(*findSpace("station"), kRate, 2).channels.data());
}
BENCHMARK(BM_MakeStationResponse)->Unit(benchmark::kMillisecond);
} // namespace
