#include "transmission/PacketLoss.h"

#include <algorithm>
#include <stdexcept>

namespace transmission
{

PacketLoss::PacketLoss(const LossSettings& settings, std::uint64_t seed) : m_settings(settings), m_random(seed)
{
    setSettings(settings);
}

void PacketLoss::setSettings(const LossSettings& settings)
{
    m_settings = settings;
    m_startBurst = 0;
    m_endBurst = 1;
    if (settings.meanBurst > 0 && settings.rate > 0)
    {
        m_endBurst = 1.0 / settings.meanBurst;
        // In the steady state the bad state's share is start / (start + end).
        m_startBurst = settings.rate * m_endBurst / (1.0 - settings.rate);
    }
}

bool PacketLoss::draw()
{
    if (!m_settings.active())
        return false;
    if (m_settings.meanBurst <= 0)
        return m_random.uniform() < m_settings.rate;
    m_bad = m_bad ? m_random.uniform() >= m_endBurst : m_random.uniform() < m_startBurst;
    return m_bad;
}

bool PacketLoss::lost(std::uint64_t index)
{
    if (index < m_firstDecided)
        throw std::logic_error("packet loss: a frame asked about after it was forgotten");
    const auto at = static_cast<std::size_t>(index - m_firstDecided);
    while (m_decided.size() <= at)
        m_decided.push_back(draw());
    return m_decided[at];
}

void PacketLoss::forgetBefore(std::uint64_t index)
{
    if (index <= m_firstDecided)
        return;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(index - m_firstDecided, m_decided.size()));
    m_decided.erase(m_decided.begin(), m_decided.begin() + static_cast<std::ptrdiff_t>(count));
    m_firstDecided += count;
}

} // namespace transmission
