#include "tools/plugins/ZipperMeasurement.h"

#include "cli/metering/PresetMeasurements.h"
#include "plugins/common/EngineSession.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr double kPi = 3.141592653589793;
constexpr auto indexOf = &plugins::EngineSession::indexOf;
} // namespace

double zipperDb(SweepDelivery delivery, std::uint32_t hostBufferFrames, std::uint32_t sampleRate, int device)
{
    plugins::EngineSession session(sampleRate, 1);
    std::array<float, kParameterCount> values{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        values[i] = g_parameterDefinitions[i].defaultValue;
    for (const char* off : {"NoiseEnable", "DistortionEnable", "GateEnable", "LoFiEnable"})
        values[indexOf(off)] = 0.f;
    values[indexOf("SIMType")] = static_cast<float>(device);
    const std::size_t tuning = indexOf("SIMTuning");
    values[tuning] = delivery == SweepDelivery::Steady ? 100.f : 50.f;
    session.setAll(values);

    // A quarter of a second to settle, then the swept second.
    const std::uint32_t settle = sampleRate / 4;
    const std::uint32_t total = settle + sampleRate;
    std::vector<float> out(total);
    for (std::uint32_t i = 0; i < total; ++i)
        out[i] = static_cast<float>(0.5 * std::sin(2.0 * kPi * 1000.0 * i / sampleRate));
    for (std::uint32_t at = 0; at < total; at += hostBufferFrames)
    {
        const std::uint32_t n = std::min(hostBufferFrames, total - at);
        if (at >= settle && delivery != SweepDelivery::Steady)
        {
            const float value = static_cast<float>(50.0 + 150.0 * (at - settle) / sampleRate);
            if (delivery == SweepDelivery::Ramped)
                session.set(tuning, value);
            else
                session.setAtOnce(tuning, value);
        }
        float* channel = out.data() + at;
        session.process(&channel, n);
    }
    const std::vector<float> swept(out.begin() + settle, out.end());
    return bandEnergyRatioDb(swept, sampleRate, BandLimit{});
}
