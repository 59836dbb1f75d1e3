// Draws the editor's knobs and sliders from images: a knob is one frame of a filmstrip, a
// linear slider a thumb image over an optional fill image. Fixes the fonts of combo boxes
// and pop-up menus, draws no combo-box body (the background artwork shows through), and
// tells the control size its images imply. Everything else is LookAndFeel_V2's.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

class LookAndFeel_Orvex : public juce::LookAndFeel_V2
{
public:
    static constexpr int kOverlayCount = 4;

    LookAndFeel_Orvex() = default;
    ~LookAndFeel_Orvex() override = default;

    // Frames side by side, left to right; frameCount must not be 0. Returns the frame width.
    virtual int setKnobFilmstrip(const juce::Image& filmstrip, int frameCount, int firstFrame);
    // The filmstrip's height when there is one; otherwise the explicit height when set or
    // when there is no fill image; otherwise the fill image's height.
    virtual int getControlHeight();
    // The same rule for the width: frame width, explicit width, fill image width.
    virtual int getControlWidth();

    // Each image is taken only when it differs from the one held.
    void setSliderImages(const juce::Image& fill, const juce::Image& thumb);
    void setFillReference(int x, int y);
    void setControlSize(int width, int height);
    // Fill from the middle of the control to the thumb instead of from the reference.
    void setCentreAnchored(bool anchored) { m_centreAnchored = anchored; }
    // Image a Slider_Orvex may ask to be drawn over its knob frame.
    void setOverlayImage(int number, const juce::Image& image);

    // Multiplies pop-up menu font and item heights (the editor's display scale).
    float menuScale = 1.0f;

    int getFrameCount() const { return m_frameCount; }
    int getFrameWidth() const { return m_frameWidth; }
    int getFirstFrame() const { return m_firstFrame; }
    // Filmstrip frame shown at proportion p of the travel (clamped to [0, 1]).
    int frameForProportion(double proportion) const;

    void drawPopupMenuBackground(juce::Graphics& g, int width, int height) override;
    juce::Font getPopupMenuFont() override;
    void getIdealPopupMenuItemSize(const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                   int& idealWidth, int& idealHeight) override;
    void drawComboBox(juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                      int buttonW, int buttonH, juce::ComboBox& box) override;
    juce::Font getComboBoxFont(juce::ComboBox& box) override;
    void drawLinearSlider(juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                          float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle style,
                          juce::Slider& slider) override;
    int getSliderThumbRadius(juce::Slider& slider) override;
    void drawRotarySlider(juce::Graphics& g, int x, int y, int width, int height, float sliderPosProportional,
                          float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;

private:
    juce::Image m_filmstrip;
    int m_frameCount = 0;
    int m_frameWidth = 0;
    int m_firstFrame = 0;
    juce::Image m_thumb;
    juce::Image m_fill;
    bool m_centreAnchored = false;
    int m_fillReferenceX = 0;
    int m_fillReferenceY = 0;
    int m_controlWidth = 0;
    int m_controlHeight = 0;
    std::array<juce::Image, kOverlayCount> m_overlays;
};
