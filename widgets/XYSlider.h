// A two-axis pad: x and y follow the mouse across the pad, z is an optional third axis set
// by its owner, and an off flag switches what the pad controls. All three axes are doubles
// in [0, 1]; y is 0 at the top. Listeners hear value changes and the start and end of drags.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

class XYSlider : public juce::Component
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void xySliderValueChanged(XYSlider* pad) = 0;
        virtual void xySliderDragStarted(XYSlider* pad) = 0;
        virtual void xySliderDragEnded(XYSlider* pad) = 0;
    };

    XYSlider() = default;
    ~XYSlider() override = default;

    double getX() const { return m_x; }
    double getY() const { return m_y; }
    double getZ() const { return m_z; }
    bool usesZ() const { return m_usesZ; }
    bool isOff() const { return m_off; }

    // Each clamps to [0, 1] and tells the listeners when `notify` is set.
    void setXY(double x, double y, bool notify);
    void setZ(double z, bool notify);
    void setUsesZ(bool uses) { m_usesZ = uses; }
    void setOff(bool off, bool notify);

    void addListener(Listener* listener);
    void removeListener(Listener* listener);

    void paint(juce::Graphics& g) override;
    void mouseDown(const juce::MouseEvent& event) override;
    void mouseDrag(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;

private:
    void moveTo(juce::Point<float> position);
    void notifyChanged();

    double m_x = 0.5;
    double m_y = 0.5;
    double m_z = 0.0;
    bool m_usesZ = false;
    bool m_off = false;
    template <typename Call>
    void callListeners(Call call);

    std::vector<Listener*> m_listeners;
};
