// What the transmission stage costs per second of audio (48 kHz mono speech, 512-frame
// buffers as a render hands them on): each codec with its resamplers, loss and the radio;
// and, to compare, the effect itself on the same second through the host's path, with a
// telephone preset. The figures are seconds of processing per second of audio (the
// benchmark's time per iteration, one iteration one second).
#include "cli/metering/PresetMeasurements.h"
#include "cli/render/EffectHost.h"
#include "cli/settings/Presets.h"
#include "cli/signals/RecordedVoices.h"
#include "transmission/Transmission.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kRate = 48000;
constexpr std::size_t kBuffer = 512;

// One second of a recorded voice, at -24 LUFS.
const std::vector<float>& oneSecond()
{
    static const std::vector<float> second = [] {
        const auto voices = recordedVoices(kRate, -24.0);
        std::vector<float> x = voices.empty() ? std::vector<float>(kRate, 0.f) : voices.front().samples;
        x.resize(kRate, 0.f);
        return x;
    }();
    return second;
}

void transmitOneSecond(benchmark::State& state, const std::string& codec, const std::string& loss,
                       const std::string& radio)
{
    transmission::TransmissionSettings settings;
    settings.codec = transmission::parseCodec(codec);
    settings.loss = transmission::parseLoss(loss);
    settings.radio = transmission::parseRadio(radio);
    const auto& x = oneSecond();
    std::vector<float> out;
    out.reserve(2 * kRate);
    for (auto _ : state)
    {
        transmission::Transmission line(settings, kRate, 1, 1);
        out.clear();
        for (std::size_t at = 0; at < x.size(); at += kBuffer)
            line.process(x.data() + at, std::min(kBuffer, x.size() - at), out);
        line.finish(out);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_EffectOnly(benchmark::State& state)
{
    ParameterSettings settings(EffectHost::instance().description());
    applyPreset(settings, "Phone call");
    const auto block = EffectHost::instance().bankBlock(settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(renderThroughEffect(block, oneSecond(), kRate).data());
}
BENCHMARK(BM_EffectOnly)->Unit(benchmark::kMillisecond);

void BM_Codec(benchmark::State& state, const char* codec) { transmitOneSecond(state, codec, "off", "off"); }
BENCHMARK_CAPTURE(BM_Codec, gsm, "gsm")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, amr_4_75, "amr:4.75")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, amr_12_2, "amr:12.2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, amr_wb_12_65, "amr-wb:12.65")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, opus_12k, "opus:12k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, opus_64k, "opus:64k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, codec2_700, "codec2:700")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, codec2_3200, "codec2:3200")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, lpc10, "lpc10")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, g726_32k, "g726:32k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Codec, g729, "g729")->Unit(benchmark::kMillisecond);

void BM_LossAndRadio(benchmark::State& state)
{
    transmitOneSecond(state, "amr:7.4", "5%:burst=3", "on");
}
BENCHMARK(BM_LossAndRadio)->Unit(benchmark::kMillisecond);

void BM_RadioOnly(benchmark::State& state) { transmitOneSecond(state, "none", "off", "on"); }
BENCHMARK(BM_RadioOnly)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
