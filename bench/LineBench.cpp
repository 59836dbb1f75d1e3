// What Crumlet Line costs on the audio thread and its space's workers: a stereo line at 48 kHz
// in a DAW's buffers, in ns per channel-sample of the whole process's CPU (the convolution's
// worker threads included), without a space and in the train-station concourse (a response
// of about 3 s), with no codec and through GSM. The space waits for its workers here (as when
// the host renders), so that every partition is computed and counted: playing live, the work
// is the same, spread over the same threads.
#include "plugins/common/LineEngine.h"
#include "plugins/common/LineParameters.h"
#include "space/SpaceCatalogue.h"
#include "transmission/SeededRandom.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace
{
using namespace plugins;
constexpr double kRate = 48000.0;

LineValues valuesWith(float codec, const char* room)
{
    LineValues v = defaultLineValues();
    v[kLineCodec] = codec;
    const auto& catalogue = space::spaceCatalogue();
    for (std::size_t i = 0; room != nullptr && i < catalogue.size(); ++i)
        if (std::string(room) == catalogue[i].name)
            v[kLineSpace] = static_cast<float>(i + 1);
    return v;
}

void oneSecondOfLine(benchmark::State& state, const LineValues& values)
{
    const auto block = static_cast<std::size_t>(state.range(0));
    const LineSetup setup = lineSetupOf(values);
    LineEngine engine(setup, kRate, 2, block, LineEngine::measureLatency(setup.settings.codec, kRate));
    transmission::SeededRandom random(1);
    std::vector<std::vector<float>> x(2, std::vector<float>(static_cast<std::size_t>(kRate)));
    for (auto& channel : x)
        for (float& v : channel)
            v = 0.25f * random.bipolar();
    std::vector<std::vector<float>> buffer(2, std::vector<float>(block));
    float* pointers[2] = {buffer[0].data(), buffer[1].data()};
    for (auto _ : state)
        for (std::size_t at = 0; at + block <= x[0].size(); at += block)
        {
            for (std::size_t c = 0; c < 2; ++c)
                std::copy_n(x[c].data() + at, block, buffer[c].data());
            engine.process(pointers, block);
            benchmark::DoNotOptimize(buffer[0].data());
        }
    state.counters["ns_per_ch_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * kRate * 2 * 1e-9,
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["latency_frames"] = static_cast<double>(engine.latency());
}

void BM_LineAlone(benchmark::State& state) { oneSecondOfLine(state, valuesWith(0.f, nullptr)); }
void BM_LineInStation(benchmark::State& state) { oneSecondOfLine(state, valuesWith(0.f, "station")); }
void BM_GsmLine(benchmark::State& state) { oneSecondOfLine(state, valuesWith(1.f, nullptr)); }
void BM_GsmLineInStation(benchmark::State& state) { oneSecondOfLine(state, valuesWith(1.f, "station")); }

BENCHMARK(BM_LineAlone)->Arg(512)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_LineInStation)->Arg(64)->Arg(256)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_GsmLine)->Arg(512)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_GsmLineInStation)->Arg(512)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
} // namespace
