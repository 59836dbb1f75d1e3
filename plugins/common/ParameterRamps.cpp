#include "plugins/common/ParameterRamps.h"

#include <cmath>

namespace plugins
{
void ParameterRamps::reset(const std::array<float, kParameterCount>& values)
{
    m_from = values;
    m_to = values;
    m_moving.fill(false);
    m_movingCount = 0;
    m_known = true;
}

bool ParameterRamps::rampTo(std::size_t index, float value)
{
    const bool ramps = m_known && g_parameterDefinitions[index].hostType == HostType::Float && std::isfinite(value) &&
                       std::isfinite(m_from[index]);
    if (!ramps)
    {
        hold(index, value);
        return false;
    }
    setMoving(index, value != m_from[index]);
    m_to[index] = value;
    return true;
}

void ParameterRamps::hold(std::size_t index, float value)
{
    setMoving(index, false);
    m_from[index] = value;
    m_to[index] = value;
}

void ParameterRamps::setMoving(std::size_t index, bool moving)
{
    if (m_moving[index] != moving)
        m_movingCount = moving ? m_movingCount + 1 : m_movingCount - 1;
    m_moving[index] = moving;
}

float ParameterRamps::valueAt(std::size_t index, std::uint32_t step, std::uint32_t steps) const
{
    if (step + 1 >= steps)
        return m_to[index];
    const double from = m_from[index];
    return static_cast<float>(from + (static_cast<double>(m_to[index]) - from) * (step + 1) / steps);
}

void ParameterRamps::arrive()
{
    m_from = m_to;
    m_moving.fill(false);
    m_movingCount = 0;
}
} // namespace plugins
