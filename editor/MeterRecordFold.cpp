#include "editor/MeterRecordFold.h"

#include <algorithm>

namespace
{
// Lowers a gain or raises a peak; a value that is not below (above) the element, NaN
// among them, leaves it as it is.
void foldInto(std::atomic<float>& element, float value, bool gain)
{
    float current = element.load(std::memory_order_relaxed);
    while ((gain ? value < current : value > current) &&
           !element.compare_exchange_weak(current, value, std::memory_order_relaxed))
    {
    }
}

// Moves an element's value into `level` and rests the element.
void takeInto(std::atomic<float>& element, double& level, float rest, bool gain)
{
    if (element.load(std::memory_order_relaxed) == rest)
        return; // nothing folded in since the last take (what arrives meanwhile waits for the next)
    const double v = element.exchange(rest, std::memory_order_relaxed);
    level = gain ? std::min(level, v) : std::max(level, v);
}
} // namespace

MeterRecordFold::MeterRecordFold()
{
    for (int kind = 0; kind < MeterLevels::kKinds; ++kind)
        for (std::atomic<float>& element : m_channels[static_cast<std::size_t>(kind)])
            element.store(static_cast<float>(MeterLevels::restOf(kind)), std::memory_order_relaxed);
    m_noiseLevel.store(0.0f, std::memory_order_relaxed);
}

void MeterRecordFold::fold(const void* data, bool byteSwap)
{
    if (data == nullptr)
        return;
    const MeterRecord record(data, byteSwap);
    const std::uint32_t n = record.channels();
    std::array<float, MeterRecord::kFields> extremes;
    for (int field = 0; field < MeterRecord::kFields; ++field)
        extremes[static_cast<std::size_t>(field)] = MeterRecord::isGain(field) ? 1.0f : 0.0f;
    for (std::uint32_t c = 0; c < n; ++c)
        for (int field = 0; field < MeterRecord::kFields; ++field)
        {
            const float v = record.value(c, field);
            float& extreme = extremes[static_cast<std::size_t>(field)];
            extreme = MeterRecord::isGain(field) ? std::min(extreme, v) : std::max(extreme, v);
        }

    for (int kind = 0; kind < MeterLevels::kKinds; ++kind)
    {
        Channels& elements = m_channels[static_cast<std::size_t>(kind)];
        const MeterRecord::Field field = MeterLevels::fieldOf(kind);
        const bool gain = MeterLevels::isGain(kind);
        if (n <= MeterLevels::kChannels)
            for (std::uint32_t c = 0; c < n; ++c)
                foldInto(elements[c], record.value(c, field), gain);
        if (n > 2)
            foldInto(elements[0], extremes[field], gain);
    }
    foldInto(m_noiseLevel, extremes[MeterRecord::NoiseLevel], false);
    // Published after the values: a take that sees this count sees this record's values.
    m_latestChannels.store(n, std::memory_order_release);
}

std::int64_t MeterRecordFold::takeInto(MeterLevels& levels)
{
    const std::int64_t latest = m_latestChannels.exchange(kNoRecord, std::memory_order_acquire);
    for (int kind = 0; kind < MeterLevels::kKinds; ++kind)
    {
        const auto rest = static_cast<float>(MeterLevels::restOf(kind));
        const bool gain = MeterLevels::isGain(kind);
        for (std::size_t c = 0; c < MeterLevels::kChannels; ++c)
            ::takeInto(m_channels[static_cast<std::size_t>(kind)][c], levels.channels[static_cast<std::size_t>(kind)][c],
                       rest, gain);
    }
    ::takeInto(m_noiseLevel, levels.noiseLevel, 0.0f, false);
    return latest;
}

MeterLevels MeterRecordFold::peek() const
{
    MeterLevels levels;
    for (std::size_t kind = 0; kind < MeterLevels::kKinds; ++kind)
        for (std::size_t c = 0; c < MeterLevels::kChannels; ++c)
            levels.channels[kind][c] = m_channels[kind][c].load(std::memory_order_relaxed);
    levels.noiseLevel = m_noiseLevel.load(std::memory_order_relaxed);
    return levels;
}
