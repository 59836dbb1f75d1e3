// The editor's knobs and sliders. The base keeps JUCE's linear law and carries the overlay
// the look may draw over a knob frame; the subclasses replace the value-to-position law.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class Slider_Orvex : public juce::Slider
{
public:
    explicit Slider_Orvex(const juce::String& name = {}) : juce::Slider(name) {}
    ~Slider_Orvex() override = default;

    bool isOverlayShown() const { return m_overlayShown; }
    int getOverlayFrame() const { return m_overlayFrame; }
    // Shows overlay image `frame` of the look over the knob frame, or hides it.
    void setOverlay(bool shown, int frame)
    {
        m_overlayShown = shown;
        m_overlayFrame = frame;
        repaint();
    }

private:
    bool m_overlayShown = false;
    int m_overlayFrame = 0;
};

// Linear, without the skew JUCE's law may apply: for stepped list values.
class Slider_Orvex_Discrete : public Slider_Orvex
{
public:
    using Slider_Orvex::Slider_Orvex;
    double proportionOfLengthToValue(double proportion) override;
    double valueToProportionOfLength(double value) override;
};

// Logarithmic: frequencies and times.
class Slider_Orvex_Log : public Slider_Orvex
{
public:
    using Slider_Orvex::Slider_Orvex;
    double proportionOfLengthToValue(double proportion) override;
    double valueToProportionOfLength(double value) override;
};

// Level fader in dB.
class Slider_Orvex_Fader : public Slider_Orvex
{
public:
    using Slider_Orvex::Slider_Orvex;
    double proportionOfLengthToValue(double proportion) override;
    double valueToProportionOfLength(double value) override;
};
