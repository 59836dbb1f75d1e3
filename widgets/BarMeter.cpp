#include "widgets/BarMeter.h"

#include "widgets/MeterClock.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kAttackPerSecond = 70.0;
constexpr double kReleasePerSecond = 2.0;
constexpr double kSilence = 0.00001;
} // namespace

BarMeter::BarMeter(double* source)
    : m_source(source), m_smoothed(meter_clock::clampedLevel(source)), m_lastUpdate(meter_clock::now())
{
}

void BarMeter::setImage(const juce::Image& image)
{
    if (image == m_image)
        return;
    m_image = image;
    repaint();
}

void BarMeter::setSegments(int count, int startOffset, int endOffset)
{
    bool changed = startOffset != m_startOffset || endOffset != m_endOffset;
    m_startOffset = startOffset;
    m_endOffset = endOffset;
    if (count != m_segments)
    {
        m_segments = count;
        changed = true;
        if (m_image.isValid())
        {
            const int length = std::max(m_image.getWidth(), m_image.getHeight()) - endOffset - startOffset;
            m_pixelsPerStep = count <= 1 ? length : static_cast<double>(length) / (count - 1);
        }
    }
    if (changed)
        repaint();
}

void BarMeter::setInverted(bool inverted)
{
    if (inverted == m_inverted)
        return;
    m_inverted = inverted;
    repaint();
}

void BarMeter::timerCallback()
{
    const auto step = meter_clock::stepToward(m_source, m_lastUpdate, m_smoothed);
    if (!step)
        return;
    const double diff = step->diff;
    const bool attack = m_inverted ? diff <= 0.0 : diff > 0.0;
    const double rate = attack ? kAttackPerSecond : kReleasePerSecond;
    double next = std::clamp(m_smoothed + (1.0 - std::exp(-rate * step->dt)) * diff, 0.0, 1.0);
    if (next < kSilence)
        next = 0.0;
    m_smoothed = next;
    if (std::fabs(diff) > kSilence)
        repaint();
}

int BarMeter::litLength() const
{
    const int full = m_image.getWidth() >= m_image.getHeight() ? m_image.getWidth() : m_image.getHeight();
    double s = m_smoothed > 0.0 ? std::sqrt(m_smoothed) : 0.0;
    if (m_pixelsPerStep != 0.0)
        s *= static_cast<float>(m_segments - 1);
    if (m_segments < 1)
        return full;
    const int d = m_segments - 1;
    const int steps = static_cast<int>(s / d + 0.5) + static_cast<int>(s);
    if (steps == 0)
        return 0;
    if (steps >= d)
        return full;
    return std::min(full, static_cast<int>(steps * m_pixelsPerStep) + m_startOffset);
}

void BarMeter::paint(juce::Graphics& g)
{
    if (!m_image.isValid())
        return;
    const int n = litLength();
    const int w = m_image.getWidth();
    const int h = m_image.getHeight();
    g.setOpacity(1.0f);
    if (w >= h)
    {
        if (m_inverted)
            g.drawImage(m_image, n, 0, w - n, h, n, 0, w - n, h);
        else
            g.drawImage(m_image, 0, 0, n, h, 0, 0, n, h);
    }
    else
    {
        if (m_inverted)
            g.drawImage(m_image, 0, 0, w, h - n, 0, 0, w, h - n);
        else
            g.drawImage(m_image, 0, h - n, w, n, 0, h - n, w, n);
    }
    m_lastDrawnLength = n;
}
