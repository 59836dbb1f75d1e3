// The generic parameter-bound editor. It binds ordinary controls to parameters of the
// store by writing the parameter's index and a few behaviour keys into each control's
// component properties; one listener per control kind turns a user action into a write to
// the store. One factory per control kind creates, styles, places and binds a control in a
// single call, so a concrete editor is little more than a list of such calls.
//
// The way back, from the store to the controls, is the concrete editor's timer: the base
// only keeps the refresh-pending flag that its writes (and the host's change reports) set.
#pragma once

#include "store/AudioProcessor.h"
#include "widgets/JuceCount_Quarl.h"
#include "widgets/XYSlider.h"

#include <juce_gui_basics/juce_gui_basics.h>

class LookAndFeel_Orvex;

// Component property keys that bind a control.
namespace editor_keys
{
extern const juce::Identifier index;            // int: parameter of the control
extern const juce::Identifier explicitValue;    // int: a click writes it ("explicit_value")
extern const juce::Identifier radioButtonPlus;  // int: written when the toggle is off ("radio_button_plus")
extern const juce::Identifier plusValue;        // int: written instead when it is on ("plus_value")
extern const juce::Identifier increment;        // number: a click adds it to the value
extern const juce::Identifier wrap;             // present: stepping wraps around
extern const juce::Identifier indexX;           // int: parameter of a pad's x ("index_x")
extern const juce::Identifier indexY;           // int: parameter of a pad's y ("index_y")
extern const juce::Identifier indexZ;           // int: parameter of a pad's third axis ("index_z")
extern const juce::Identifier indexEnable;      // int: parameter of a pad's off flag ("index_enable")
} // namespace editor_keys

class AudioProcessorEditor_Orvex : public JuceCount_Quarl,
                                   public juce::Component,
                                   public juce::Slider::Listener,
                                   public juce::Button::Listener,
                                   public juce::TextEditor::Listener,
                                   public juce::Label::Listener,
                                   public juce::ComboBox::Listener,
                                   public XYSlider::Listener,
                                   public juce::Timer
{
public:
    // `store` outlives the editor. `displayScale` is the screen's logical pixels per inch / 96.
    AudioProcessorEditor_Orvex(AudioProcessor* store, float displayScale);
    ~AudioProcessorEditor_Orvex() override;

    virtual void setDisplayScale(float scale);
    virtual float getDisplayScale();
    // Advances the meters; the concrete editor's timer calls it at the end of every tick.
    virtual void updateMeters() {}
    virtual AudioProcessor* getProcessor();

    bool isRefreshPending() const { return m_refreshPending; }
    void setRefreshPending(bool pending) { m_refreshPending = pending; }
    juce::Slider* getLastMovedSlider() const { return m_lastMovedSlider; }

    // Factories. A position is the control's top-left corner in editor coordinates.
    void addToggleButton(juce::ImageButton& button, int index, juce::Point<int> position, const juce::Image& offImage,
                         const juce::Image& onImage);
    void addStepButton(juce::ImageButton& button, int index, float increment, juce::Point<int> position,
                       const juce::Image& normalImage, const juce::Image& downImage);
    void addComboBox(juce::ComboBox& box, int index, juce::Point<int> position, int width, int height,
                     juce::Colour textColour, juce::LookAndFeel* look);
    void addValueLabel(juce::Label& label, int index, juce::Point<int> position, int extraWidth, juce::Colour textColour);
    void addValueLabel(juce::Label& label, int index, juce::Point<int> position);
    void addRotaryKnob(juce::Slider& slider, int index, juce::Point<int> position, LookAndFeel_Orvex& look);
    void addLinearSlider(juce::Slider& slider, int index, juce::Point<int> position, LookAndFeel_Orvex& look);

    // Listeners.
    void sliderValueChanged(juce::Slider* slider) override;
    void sliderDragStarted(juce::Slider* slider) override;
    void sliderDragEnded(juce::Slider* slider) override;
    void buttonClicked(juce::Button* button) override;
    void comboBoxChanged(juce::ComboBox* box) override;
    void labelTextChanged(juce::Label* label) override;
    void textEditorTextChanged(juce::TextEditor& editor) override;
    void textEditorReturnKeyPressed(juce::TextEditor&) override {}
    void textEditorEscapeKeyPressed(juce::TextEditor&) override {}
    void textEditorFocusLost(juce::TextEditor&) override {}
    void xySliderValueChanged(XYSlider* pad) override;
    void xySliderDragStarted(XYSlider* pad) override;
    void xySliderDragEnded(XYSlider* pad) override;

    void timerCallback() override = 0;

private:
    void setUpImageButton(juce::ImageButton& button, int index, juce::Point<int> position, const juce::Image& normal,
                          const juce::Image& down);
    void setUpSlider(juce::Slider& slider, int index, juce::Point<int> position, LookAndFeel_Orvex& look,
                     double interval);
    void writeInt(int index, std::int32_t value);
    void writeFloat(int index, float value);
    void writeBool(int index, bool value);
    void beginGesture(int index);
    void endGesture(int index);

    bool m_refreshPending = true;
    juce::Slider* m_lastMovedSlider = nullptr;
    AudioProcessor* m_store;
    float m_displayScale;
};
