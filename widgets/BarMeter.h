// A level bar: reveals part of a fully lit meter image, in steps, with a fast attack and a
// slow release driven by measured time. Its longer side is the bar's direction. Inverted,
// it shows the part beyond the lit length (a gain-reduction bar) and attack and release swap.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

class BarMeter : public juce::Component, public juce::SettableTooltipClient, private juce::Timer
{
public:
    // `source` is a level owned by the caller, who keeps it alive as long as the meter.
    explicit BarMeter(double* source);
    ~BarMeter() override = default;

    void setImage(const juce::Image& image);
    // count 0 lights the whole image whatever the level; otherwise at least 2.
    void setSegments(int count, int startOffset, int endOffset);
    void setInverted(bool inverted);

    // One update step: smooths the shown level toward the source.
    void timerCallback() override;
    void paint(juce::Graphics& g) override;

    double getSmoothedLevel() const { return m_smoothed; }
    double getPixelsPerStep() const { return m_pixelsPerStep; }
    int getLastDrawnLength() const { return m_lastDrawnLength; }
    // Lit length in pixels for the current smoothed level.
    int litLength() const;
    const juce::Image& getImage() const { return m_image; }

private:
    juce::Image m_image;
    int m_segments = 0;
    int m_startOffset = 0;
    int m_endOffset = 0;
    double m_pixelsPerStep = 8.0;
    bool m_inverted = false;
    int m_lastDrawnLength = 0;
    double* m_source;
    double m_smoothed;
    std::uint32_t m_lastUpdate;
};
