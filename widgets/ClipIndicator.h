// A clip light: latches on when its level reaches full scale, goes off when clicked.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class ClipIndicator : public juce::Component, public juce::SettableTooltipClient, private juce::Timer
{
public:
    // `source` is a level owned by the caller, who keeps it alive as long as the light.
    explicit ClipIndicator(double* source) : m_source(source) {}
    ~ClipIndicator() override = default;

    void setImage(const juce::Image& image);

    // One update step: lights at a level of 1.0 or more; never puts the light out.
    void timerCallback() override;
    void paint(juce::Graphics& g) override;
    void mouseDown(const juce::MouseEvent& event) override;

    bool isLit() const { return m_lit; }
    // What a click does: the light goes out (and relights at the next update if the
    // level is still at full scale).
    void putOut();

private:
    juce::Image m_image;
    bool m_lit = false;
    bool m_litAtLastPaint = false;
    double* m_source;
};
