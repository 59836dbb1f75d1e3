#include "transmission/PacketLoss.h"

namespace transmission
{

PacketLoss::PacketLoss(const LossSettings& settings, std::uint64_t seed) : m_settings(settings), m_random(seed)
{
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
    while (m_decided.size() <= index)
        m_decided.push_back(draw());
    return m_decided[index];
}

} // namespace transmission
