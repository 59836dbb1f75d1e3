#include "quarl/SilenceFloor.h"

#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"

#include <algorithm>
#include <cmath>

using namespace ZQ::Quarl;

namespace quarl
{
double silenceFloorRms(const PluginRegistration& effect, const std::vector<std::uint8_t>& block,
                       const AudioFormat& format, std::uint32_t blockFrames)
{
    HostAllocator allocator;
    ProcessingContext context(false);
    context.setMonitoring(false);
    EffectInstance instance(effect, allocator, &context);
    if (blockFrames == 0 ||
        instance.create(block.data(), static_cast<std::uint32_t>(block.size()), format) != Success)
        return 0.0;
    AudioBufferStorage storage(format.channelCount, blockFrames);
    AudioBuffer& buffer = storage.buffer();
    const auto settle = static_cast<std::uint64_t>(std::llround(kFloorSettleSeconds * format.sampleRate));
    const auto measure = static_cast<std::uint64_t>(std::llround(kFloorMeasureSeconds * format.sampleRate));
    double energy = 0.0;
    std::uint64_t measured = 0;
    for (std::uint64_t played = 0; played < settle + measure;)
    {
        std::fill(buffer.data, buffer.data + static_cast<std::size_t>(format.channelCount) * blockFrames, 0.f);
        buffer.validFrames = blockFrames;
        buffer.state = Success;
        instance.effect()->Execute(buffer);
        if (buffer.state != Success || buffer.validFrames == 0)
            return 0.0;
        for (std::uint32_t i = 0; i < buffer.validFrames; ++i, ++played)
        {
            if (played < settle)
                continue;
            for (std::uint32_t c = 0; c < format.channelCount; ++c)
                energy += static_cast<double>(buffer.channel(c)[i]) * buffer.channel(c)[i];
            ++measured;
        }
    }
    const double rms = std::sqrt(energy / (static_cast<double>(std::max<std::uint64_t>(measured, 1)) * format.channelCount));
    return std::isfinite(rms) ? rms : 0.0;
}
} // namespace quarl
