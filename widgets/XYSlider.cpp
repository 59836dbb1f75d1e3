#include "widgets/XYSlider.h"

#include <algorithm>

void XYSlider::addListener(Listener* listener)
{
    if (listener != nullptr && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void XYSlider::removeListener(Listener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

template <typename Call>
void XYSlider::callListeners(Call call)
{
    // A listener may remove itself while being called: walk a copy.
    const std::vector<Listener*> listeners = m_listeners;
    for (Listener* l : listeners)
        call(*l);
}

void XYSlider::setXY(double x, double y, bool notify)
{
    m_x = std::clamp(x, 0.0, 1.0);
    m_y = std::clamp(y, 0.0, 1.0);
    repaint();
    if (notify)
        notifyChanged();
}

void XYSlider::setZ(double z, bool notify)
{
    m_z = std::clamp(z, 0.0, 1.0);
    if (notify)
        notifyChanged();
}

void XYSlider::setOff(bool off, bool notify)
{
    m_off = off;
    repaint();
    if (notify)
        notifyChanged();
}

void XYSlider::notifyChanged()
{
    callListeners([this](Listener& l) { l.xySliderValueChanged(this); });
}

void XYSlider::moveTo(juce::Point<float> position)
{
    const double w = std::max(1, getWidth());
    const double h = std::max(1, getHeight());
    setXY(position.x / w, position.y / h, true);
}

void XYSlider::mouseDown(const juce::MouseEvent& event)
{
    callListeners([this](Listener& l) { l.xySliderDragStarted(this); });
    moveTo(event.position);
}

void XYSlider::mouseDrag(const juce::MouseEvent& event)
{
    moveTo(event.position);
}

void XYSlider::mouseUp(const juce::MouseEvent&)
{
    callListeners([this](Listener& l) { l.xySliderDragEnded(this); });
}

void XYSlider::paint(juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    g.setColour(juce::Colours::white.withAlpha(m_off ? 0.15f : 0.4f));
    g.drawRect(bounds, 1.0f);
    const float px = static_cast<float>(m_x) * bounds.getWidth();
    const float py = static_cast<float>(m_y) * bounds.getHeight();
    g.setColour(juce::Colours::white.withAlpha(m_off ? 0.3f : 0.9f));
    g.fillEllipse(px - 4.0f, py - 4.0f, 8.0f, 8.0f);
}
