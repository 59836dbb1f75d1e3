// A needle meter: shows one frame of a filmstrip (frames side by side, or stacked when the
// image is not wider than tall), rising in about 1/8 s and falling in about 1/2 s.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

class VUMeter : public juce::Component, public juce::SettableTooltipClient, private juce::Timer
{
public:
    // `source` is a level owned by the caller, who keeps it alive as long as the meter.
    explicit VUMeter(double* source);
    ~VUMeter() override = default;

    void setImage(const juce::Image& image, int frameCount);

    // One update step: smooths the shown level toward the source.
    void timerCallback() override;
    void paint(juce::Graphics& g) override;

    double getSmoothedLevel() const { return m_smoothed; }
    // Frame shown for the current smoothed level.
    int currentFrame() const;
    // Source rectangle of a frame within the filmstrip.
    juce::Rectangle<int> frameBounds(int frame) const;

private:
    juce::Image m_image;
    int m_frameCount = 0;
    double* m_source;
    double m_smoothed;
    std::uint32_t m_lastUpdate;
};
