#include "widgets/AudioProcessorEditor_Orvex.h"

#include "widgets/ArialFont.h"
#include "widgets/LookAndFeel_Orvex.h"
#include "widgets/TypedNumber.h"

#include <algorithm>
#include <cmath>

namespace editor_keys
{
const juce::Identifier index{"index"};
const juce::Identifier explicitValue{"explicit_value"};
const juce::Identifier radioButtonPlus{"radio_button_plus"};
const juce::Identifier plusValue{"plus_value"};
const juce::Identifier increment{"increment"};
const juce::Identifier wrap{"wrap"};
const juce::Identifier indexX{"index_x"};
const juce::Identifier indexY{"index_y"};
const juce::Identifier indexZ{"index_z"};
const juce::Identifier indexEnable{"index_enable"};
} // namespace editor_keys

namespace
{
constexpr float kKnobStartAngle = 3.6651914f; // 210 degrees
constexpr float kKnobEndAngle = 8.901179f;    // 510 degrees: 300 degrees of travel
const juce::Colour kTransparentWhite{0x00FFFFFF};

// A cleared VARIANT of the given type, for its value to be set.
VARIANT emptyVariant(VARTYPE type)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    return v;
}

// The parameter a key of the control names, or -1 when the key is absent.
int boundParameter(juce::Component& control, const juce::Identifier& key = editor_keys::index)
{
    const juce::var* v = control.getProperties().getVarPointer(key);
    return v != nullptr ? static_cast<int>(*v) : -1;
}
} // namespace

AudioProcessorEditor_Orvex::AudioProcessorEditor_Orvex(AudioProcessor* store, float displayScale)
    : m_store(store), m_displayScale(displayScale)
{
}

AudioProcessorEditor_Orvex::~AudioProcessorEditor_Orvex() = default;

void AudioProcessorEditor_Orvex::setDisplayScale(float scale)
{
    m_displayScale = scale;
    repaint();
}

float AudioProcessorEditor_Orvex::getDisplayScale()
{
    return m_displayScale;
}

AudioProcessor* AudioProcessorEditor_Orvex::getProcessor()
{
    return m_store;
}

// ---- Writes to the store ----

void AudioProcessorEditor_Orvex::writeInt(int index, std::int32_t value)
{
    VARIANT v = emptyVariant(VT_I4);
    v.lVal = value;
    m_store->setParameterVariant(index, v);
}

void AudioProcessorEditor_Orvex::writeFloat(int index, float value)
{
    VARIANT v = emptyVariant(VT_R4);
    v.fltVal = value;
    m_store->setParameterVariant(index, v);
}

void AudioProcessorEditor_Orvex::writeBool(int index, bool value)
{
    VARIANT v = emptyVariant(VT_BOOL);
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    m_store->setParameterVariant(index, v);
}

void AudioProcessorEditor_Orvex::beginGesture(int index)
{
    if (index >= 0)
        m_store->beginParameterGesture(index);
}

void AudioProcessorEditor_Orvex::endGesture(int index)
{
    if (index >= 0)
        m_store->endParameterGesture(index);
}

// ---- Factories ----

void AudioProcessorEditor_Orvex::setUpImageButton(juce::ImageButton& button, int index, juce::Point<int> position,
                                                  const juce::Image& normal, const juce::Image& down)
{
    addAndMakeVisible(button);
    button.getProperties().set(editor_keys::index, index);
    const juce::Image& sizing = normal.isValid() ? normal : down;
    button.setBounds(position.x, position.y, sizing.getWidth(), sizing.getHeight());
    button.setImages(false, true, false, normal, 1.0f, kTransparentWhite, juce::Image(), 1.0f, kTransparentWhite, down,
                     1.0f, kTransparentWhite, 0.0f);
    button.setToggleState(false, juce::dontSendNotification);
    button.addListener(this);
}

void AudioProcessorEditor_Orvex::addToggleButton(juce::ImageButton& button, int index, juce::Point<int> position,
                                                 const juce::Image& offImage, const juce::Image& onImage)
{
    button.setClickingTogglesState(true);
    button.setTriggeredOnMouseDown(false);
    setUpImageButton(button, index, position, offImage, onImage);
}

void AudioProcessorEditor_Orvex::addStepButton(juce::ImageButton& button, int index, float increment,
                                               juce::Point<int> position, const juce::Image& normalImage,
                                               const juce::Image& downImage)
{
    button.setClickingTogglesState(false);
    button.setTriggeredOnMouseDown(true);
    button.getProperties().set(editor_keys::increment, increment);
    setUpImageButton(button, index, position, normalImage, downImage);
}

void AudioProcessorEditor_Orvex::addComboBox(juce::ComboBox& box, int index, juce::Point<int> position, int width,
                                             int height, juce::Colour textColour, juce::LookAndFeel* look)
{
    addAndMakeVisible(box);
    box.setLookAndFeel(look);
    box.getProperties().set(editor_keys::index, index);
    box.setBounds(position.x, position.y, width, height);
    box.setEditableText(false);
    box.setJustificationType(juce::Justification::centredTop);
    box.setColour(juce::ComboBox::textColourId, textColour);
    int id = 1;
    for (const std::string& name : m_store->getParameterValueList(index))
        box.addItem(juce::String(name), id++);
    box.addListener(this);
}

void AudioProcessorEditor_Orvex::addValueLabel(juce::Label& label, int index, juce::Point<int> position,
                                               int extraWidth, juce::Colour textColour)
{
    addAndMakeVisible(label);
    label.setEditable(true, false, false);
    label.getProperties().set(editor_keys::index, index);
    label.setBounds(position.x - extraWidth, position.y, 2 * extraWidth + 40, 14);
    label.setJustificationType(juce::Justification::horizontallyCentred);
    label.setFont(arialFont(11.0f));
    label.setColour(juce::Label::textColourId, textColour);
    label.setText(m_store->getParameterText(index), juce::dontSendNotification);
    label.addListener(this);
}

void AudioProcessorEditor_Orvex::addValueLabel(juce::Label& label, int index, juce::Point<int> position)
{
    addValueLabel(label, index, position, 0, juce::Colour(0xFFFFFFFF));
}

void AudioProcessorEditor_Orvex::setUpSlider(juce::Slider& slider, int index, juce::Point<int> position,
                                             LookAndFeel_Orvex& look, double interval)
{
    addAndMakeVisible(slider);
    slider.getProperties().set(editor_keys::index, index);
    slider.setLookAndFeel(&look);
    slider.setRange(m_store->getParameterMin(index), m_store->getParameterMax(index), interval);
    slider.setValue(m_store->getParameterValue(index), juce::dontSendNotification);
    slider.setDoubleClickReturnValue(true, m_store->getParameterDefault(index));
    slider.setTextBoxStyle(juce::Slider::NoTextBox, true, 50, 14);
    slider.setBounds(position.x, position.y, look.getControlWidth(), look.getControlHeight());
    slider.addListener(this);
}

void AudioProcessorEditor_Orvex::addRotaryKnob(juce::Slider& slider, int index, juce::Point<int> position,
                                               LookAndFeel_Orvex& look)
{
    slider.setRotaryParameters(kKnobStartAngle, kKnobEndAngle, true);
    slider.setSliderStyle(juce::Slider::RotaryHorizontalVerticalDrag);
    setUpSlider(slider, index, position, look, 0.0);
}

void AudioProcessorEditor_Orvex::addLinearSlider(juce::Slider& slider, int index, juce::Point<int> position,
                                                 LookAndFeel_Orvex& look)
{
    const int w = look.getControlWidth();
    const int h = look.getControlHeight();
    slider.setSliderStyle(w <= h ? juce::Slider::LinearVertical : juce::Slider::LinearHorizontal);
    const int steps = m_store->getParameterSteps(index);
    setUpSlider(slider, index, position, look, steps != 0 ? 1.0 / steps : 0.0);
    slider.setSliderSnapsToMousePosition(false);
    // One pixel of drag moves the thumb one pixel.
    slider.setMouseDragSensitivity(std::max(1, std::max(w, h) - 2 * look.getSliderThumbRadius(slider)));
}

// ---- Listeners ----

void AudioProcessorEditor_Orvex::sliderValueChanged(juce::Slider* slider)
{
    const int index = boundParameter(*slider);
    if (index >= 0)
    {
        if (m_store->getParameterSteps(index) != 0)
            writeInt(index, static_cast<std::int32_t>(std::nearbyint(slider->getValue())));
        else
            writeFloat(index, static_cast<float>(slider->getValue()));
    }
    m_lastMovedSlider = slider;
    m_refreshPending = true;
}

void AudioProcessorEditor_Orvex::sliderDragStarted(juce::Slider* slider)
{
    beginGesture(boundParameter(*slider));
}

void AudioProcessorEditor_Orvex::sliderDragEnded(juce::Slider* slider)
{
    endGesture(boundParameter(*slider));
}

void AudioProcessorEditor_Orvex::buttonClicked(juce::Button* button)
{
    const int index = boundParameter(*button);
    if (index < 0)
        return;
    const juce::NamedValueSet& keys = button->getProperties();
    if (keys.contains(editor_keys::explicitValue))
    {
        writeInt(index, static_cast<int>(keys[editor_keys::explicitValue]));
        return;
    }
    if (keys.contains(editor_keys::radioButtonPlus))
    {
        const juce::Identifier& key = button->getToggleState() ? editor_keys::plusValue : editor_keys::radioButtonPlus;
        writeInt(index, static_cast<int>(keys[key]));
        return;
    }
    if (keys.contains(editor_keys::increment))
    {
        const int min = static_cast<int>(m_store->getParameterMin(index));
        const int max = static_cast<int>(m_store->getParameterMax(index));
        int next = m_store->getParameterListIndex(index) + static_cast<int>(keys[editor_keys::increment]);
        if (keys.contains(editor_keys::wrap))
        {
            if (next > max)
                next = min;
            if (next < min)
                next = max;
        }
        else
            next = std::clamp(next, min, max);
        writeInt(index, next);
        return;
    }
    writeBool(index, button->getToggleState());
}

void AudioProcessorEditor_Orvex::comboBoxChanged(juce::ComboBox* box)
{
    const int index = boundParameter(*box);
    if (index >= 0)
        writeInt(index, box->getSelectedId() - 1);
    m_refreshPending = true;
}

void AudioProcessorEditor_Orvex::labelTextChanged(juce::Label* label)
{
    m_refreshPending = true;
    const int index = boundParameter(*label);
    if (index < 0)
        return;
    const float typed = leadingDecimalNumber(label->getText().toStdString());
    const float min = m_store->getParameterMin(index);
    const float max = m_store->getParameterMax(index);
    m_store->setParameterValue(index, typed < min ? min : (typed > max ? max : typed));
}

void AudioProcessorEditor_Orvex::textEditorTextChanged(juce::TextEditor& editor)
{
    const int index = boundParameter(editor);
    if (index >= 0)
        m_store->setParameterValue(index, m_store->getParameterValue(index));
}

void AudioProcessorEditor_Orvex::xySliderValueChanged(XYSlider* pad)
{
    const int enable = boundParameter(*pad, editor_keys::indexEnable);
    if (enable >= 0)
        m_store->setParameterValue(enable, pad->isOff() ? 0.0f : 1.0f);
    const int z = boundParameter(*pad, editor_keys::indexZ);
    if (z >= 0 && pad->usesZ())
        m_store->setParameterValue(z, static_cast<float>(1.0 - pad->getZ()));
    const int x = boundParameter(*pad, editor_keys::indexX);
    if (x >= 0)
        m_store->setParameterValue(x, static_cast<float>(pad->getX()));
    const int y = boundParameter(*pad, editor_keys::indexY);
    if (y >= 0)
        m_store->setParameterValue(y, static_cast<float>(1.0 - pad->getY()));
    m_refreshPending = true;
}

void AudioProcessorEditor_Orvex::xySliderDragStarted(XYSlider* pad)
{
    beginGesture(boundParameter(*pad));
}

void AudioProcessorEditor_Orvex::xySliderDragEnded(XYSlider* pad)
{
    endGesture(boundParameter(*pad));
}
