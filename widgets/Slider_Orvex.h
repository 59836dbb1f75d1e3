// The editor's knobs and sliders. The base keeps JUCE's linear law and carries the overlay
// the look may draw over a knob frame; the subclasses replace the value-to-position law.
#pragma once

#include "widgets/SliderLaws.h"

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

// A slider whose value-to-position law is one of slider_laws' pairs, over its range.
template <double (*ToValue)(double, double, double), double (*ToProportion)(double, double, double)>
class Slider_Orvex_Law : public Slider_Orvex
{
public:
    using Slider_Orvex::Slider_Orvex;
    double proportionOfLengthToValue(double proportion) override
    {
        return ToValue(getMinimum(), getMaximum(), proportion);
    }
    double valueToProportionOfLength(double value) override
    {
        return ToProportion(getMinimum(), getMaximum(), value);
    }
};

// Linear, without the skew JUCE's law may apply: for stepped list values.
using Slider_Orvex_Discrete = Slider_Orvex_Law<slider_laws::linearToValue, slider_laws::linearToProportion>;
// Logarithmic: frequencies and times.
using Slider_Orvex_Log = Slider_Orvex_Law<slider_laws::logToValue, slider_laws::logToProportion>;
// Level fader in dB.
using Slider_Orvex_Fader = Slider_Orvex_Law<slider_laws::faderToValue, slider_laws::faderToProportion>;
