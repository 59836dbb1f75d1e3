#include "widgets/ClipIndicator.h"

void ClipIndicator::setImage(const juce::Image& image)
{
    if (image == m_image)
        return;
    m_image = image;
    repaint();
}

void ClipIndicator::timerCallback()
{
    if (m_source && *m_source >= 1.0)
        m_lit = true;
    if (m_lit != m_litAtLastPaint)
        repaint();
}

void ClipIndicator::paint(juce::Graphics& g)
{
    if (m_image.isValid() && m_lit)
    {
        g.setOpacity(1.0f);
        g.drawImageAt(m_image, 0, 0);
    }
    m_litAtLastPaint = m_lit;
}

void ClipIndicator::mouseDown(const juce::MouseEvent&)
{
    putOut();
}

void ClipIndicator::putOut()
{
    m_lit = false;
    repaint();
}
