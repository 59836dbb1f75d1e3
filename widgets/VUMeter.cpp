#include "widgets/VUMeter.h"

#include "widgets/MeterClock.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kRisePerSecond = 8.0;
constexpr double kFallPerSecond = 2.0;
} // namespace

VUMeter::VUMeter(double* source)
    : m_source(source), m_smoothed(meter_clock::clampedLevel(source)), m_lastUpdate(meter_clock::now())
{
}

void VUMeter::setImage(const juce::Image& image, int frameCount)
{
    if (image == m_image)
        return;
    m_image = image;
    m_frameCount = std::max(1, frameCount);
    repaint();
}

void VUMeter::timerCallback()
{
    const auto step = meter_clock::stepToward(m_source, m_lastUpdate, m_smoothed);
    if (!step)
        return;
    const double rate = step->diff > 0.0 ? kRisePerSecond : kFallPerSecond;
    m_smoothed += (1.0 - std::exp(-rate * step->dt)) * step->diff;
    repaint();
}

int VUMeter::currentFrame() const
{
    return static_cast<int>((m_frameCount - 1) * m_smoothed);
}

juce::Rectangle<int> VUMeter::frameBounds(int frame) const
{
    const int w = m_image.getWidth();
    const int h = m_image.getHeight();
    if (m_frameCount < 1)
        return {0, 0, w, h};
    if (w <= h)
    {
        const int frameHeight = h / m_frameCount;
        return {0, frame * frameHeight, w, frameHeight};
    }
    const int frameWidth = w / m_frameCount;
    return {frame * frameWidth, 0, frameWidth, h};
}

void VUMeter::paint(juce::Graphics& g)
{
    if (!m_image.isValid() || !isVisible())
        return;
    const juce::Rectangle<int> src = frameBounds(currentFrame());
    g.drawImage(m_image, 0, 0, src.getWidth(), src.getHeight(), src.getX(), src.getY(), src.getWidth(), src.getHeight());
}
