#include "widgets/MeterClock.h"

#include <juce_core/juce_core.h>

#include <algorithm>

namespace meter_clock
{
namespace
{
MillisecondSource g_source = nullptr;
}

std::uint32_t now()
{
    return g_source ? g_source() : juce::Time::getMillisecondCounter();
}

void setSource(MillisecondSource source)
{
    g_source = source;
}

double secondsSince(std::uint32_t& last)
{
    const std::uint32_t t = now();
    const auto elapsedMs = static_cast<std::int32_t>(t - last);
    last = t;
    return std::clamp(elapsedMs * 0.001, 0.0, 100.0);
}

double clampedLevel(const double* source)
{
    const double v = source ? *source : 0.0;
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

std::optional<Step> stepToward(const double* source, std::uint32_t& last, double smoothed)
{
    const double target = clampedLevel(source);
    const double dt = secondsSince(last);
    if (smoothed == target)
        return std::nullopt;
    return Step{target - smoothed, dt};
}
} // namespace meter_clock
