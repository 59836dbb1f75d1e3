#include "widgets/LookAndFeel_Orvex.h"

#include "widgets/ArialFont.h"
#include "widgets/Slider_Orvex.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace
{
// A centre-anchored fader's fill, start and length along its travel: from the centre to the
// thumb's near edge when the thumb starts past the centre, else from the thumb's far edge
// back to the centre. `thumbStart` is where the thumb starts, `t` that position truncated.
std::pair<int, int> centreFill(int centre, float thumbStart, int t, int thumbLength)
{
    if (static_cast<float>(centre) <= thumbStart)
        return {centre, t - centre};
    return {t + thumbLength, std::max(0, centre - t - thumbLength)};
}

// A fader's fill from `reference` along its travel: from the reference to the thumb when the
// thumb starts past it, else from the thumb's far edge back to the reference.
std::pair<int, int> referenceFill(int reference, int t, int thumbLength)
{
    if (t <= reference)
        return {t + thumbLength, std::abs(reference - t) - thumbLength};
    return {reference, t - reference};
}
} // namespace

int LookAndFeel_Orvex::setKnobFilmstrip(const juce::Image& filmstrip, int frameCount, int firstFrame)
{
    if (filmstrip != m_filmstrip)
        m_filmstrip = filmstrip;
    m_frameCount = frameCount;
    m_frameWidth = frameCount != 0 ? m_filmstrip.getWidth() / frameCount : 0;
    m_firstFrame = firstFrame;
    return m_frameWidth;
}

int LookAndFeel_Orvex::getControlHeight()
{
    if (m_frameWidth > 0)
        return m_filmstrip.getHeight();
    if (m_controlHeight > 0 || !m_fill.isValid())
        return m_controlHeight;
    return m_fill.getHeight();
}

int LookAndFeel_Orvex::getControlWidth()
{
    if (m_frameWidth > 0)
        return m_frameWidth;
    if (m_controlWidth > 0 || !m_fill.isValid())
        return m_controlWidth;
    return m_fill.getWidth();
}

void LookAndFeel_Orvex::setSliderImages(const juce::Image& fill, const juce::Image& thumb)
{
    if (fill != m_fill)
        m_fill = fill;
    if (thumb != m_thumb)
        m_thumb = thumb;
}

void LookAndFeel_Orvex::setFillReference(int x, int y)
{
    m_fillReferenceX = x;
    m_fillReferenceY = y;
}

void LookAndFeel_Orvex::setControlSize(int width, int height)
{
    m_controlWidth = width;
    m_controlHeight = height;
}

void LookAndFeel_Orvex::setOverlayImage(int number, const juce::Image& image)
{
    if (number >= 0 && number < kOverlayCount)
        m_overlays[static_cast<std::size_t>(number)] = image;
}

int LookAndFeel_Orvex::frameForProportion(double proportion) const
{
    const int usable = m_frameCount - m_firstFrame - 1;
    // Nearest frame, ties to even.
    return static_cast<int>(std::nearbyint(usable * std::clamp(proportion, 0.0, 1.0)));
}

void LookAndFeel_Orvex::drawPopupMenuBackground(juce::Graphics& g, int width, int height)
{
    g.fillAll(findColour(juce::PopupMenu::backgroundColourId));
    g.setColour(juce::Colour(0xFFFFFFFF));
    g.fillRect(2, 2, width - 4, height - 4);
}

juce::Font LookAndFeel_Orvex::getPopupMenuFont()
{
    return juce::Font(17.0f * menuScale, juce::Font::plain);
}

void LookAndFeel_Orvex::getIdealPopupMenuItemSize(const juce::String& text, bool isSeparator,
                                                  int standardMenuItemHeight, int& idealWidth, int& idealHeight)
{
    if (isSeparator)
    {
        idealWidth = 50;
        idealHeight = standardMenuItemHeight > 0 ? standardMenuItemHeight / 2 : 10;
        return;
    }
    juce::Font font = getPopupMenuFont();
    int h = standardMenuItemHeight;
    if (menuScale != 1.0f)
        h = static_cast<int>(h * menuScale);
    if (h < 1)
        h = juce::roundToInt(font.getHeight() * 1.3f);
    else if (font.getHeight() > h / 1.3f)
        font.setHeight(h / 1.3f);
    idealHeight = h;
    idealWidth = font.getStringWidth(text) + 2 * h;
}

void LookAndFeel_Orvex::drawComboBox(juce::Graphics&, int, int, bool, int, int, int, int, juce::ComboBox&)
{
    // The background artwork draws the box.
}

juce::Font LookAndFeel_Orvex::getComboBoxFont(juce::ComboBox&)
{
    return arialFont(11.0f);
}

void LookAndFeel_Orvex::drawLinearSlider(juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                         float, float, juce::Slider::SliderStyle style, juce::Slider&)
{
    if (!m_thumb.isValid())
        return;
    const int thumbW = m_thumb.getWidth();
    const int thumbH = m_thumb.getHeight();
    if (style == juce::Slider::LinearVertical)
    {
        const float ty = sliderPos - static_cast<float>(thumbH / 2);
        const int t = static_cast<int>(ty);
        if (m_fill.isValid())
        {
            const auto [start, length] =
                m_centreAnchored ? centreFill(getControlHeight() / 2, ty, t, thumbH) : referenceFill(0, t, thumbH);
            if (thumbH + t > 0)
                g.drawImage(m_fill, x, start, getControlWidth(), length, 0, start, width, length);
        }
        g.drawImageAt(m_thumb, x, t);
        return;
    }
    const float tx = sliderPos - static_cast<float>(thumbW / 2);
    const int t = static_cast<int>(tx);
    if (m_fill.isValid())
    {
        const auto [start, length] = m_centreAnchored ? centreFill(getControlWidth() / 2, tx, t, thumbW)
                                                      : referenceFill(m_fillReferenceX, t, thumbW);
        if (length > 0)
            g.drawImage(m_fill, start, y, length, getControlHeight(), start, 0, length, height);
    }
    g.drawImageAt(m_thumb, t, y);
}

int LookAndFeel_Orvex::getSliderThumbRadius(juce::Slider&)
{
    return getControlHeight() > getControlWidth() ? m_thumb.getHeight() / 2 : m_thumb.getWidth() / 2;
}

void LookAndFeel_Orvex::drawRotarySlider(juce::Graphics& g, int x, int y, int width, int height,
                                         float sliderPosProportional, float, float, juce::Slider& slider)
{
    if (!m_filmstrip.isValid() || m_frameWidth <= 0)
        return;
    const int frame = frameForProportion(sliderPosProportional);
    const int h = m_filmstrip.getHeight();
    g.drawImage(m_filmstrip, x, y, width, height, (frame + m_firstFrame) * m_frameWidth, 0, m_frameWidth, h);
    if (auto* orvex = dynamic_cast<Slider_Orvex*>(&slider); orvex != nullptr && orvex->isOverlayShown())
    {
        const int n = orvex->getOverlayFrame();
        if (n >= 0 && n < kOverlayCount && m_overlays[static_cast<std::size_t>(n)].isValid())
            g.drawImage(m_overlays[static_cast<std::size_t>(n)], x, y, width, height, 0, 0, m_frameWidth, h);
    }
}
