// The parameter-bound editor base over the stand-in host's property set: what each factory
// sets up and what each control kind writes, and the container that holds an editor.
#include "params/ParameterId.h"
#include "params/ValueLists.h"
#include "quarl/PropertySet.h"
#include "tests/widgets/CommaLocale.h"
#include "tests/host/ModuleTestSupport.h"
#include "widgets/AudioProcessorEditor_Orvex.h"
#include "widgets/LookAndFeel_Orvex.h"
#include "widgets/PluginEditorContainer.h"
#include "widgets/Slider_Orvex.h"

#include <gtest/gtest.h>

namespace P = ParamId;
namespace K = editor_keys;

namespace
{
class Store final : public AudioProcessor
{
public:
    void DestroyPlugin() noexcept override {}
    int getNumParameters() override { return ParamId::TableRows; }
    std::vector<std::string> getParameterValueList(ParameterId id) override { return valueListOf(id); }
};

class Editor final : public AudioProcessorEditor_Orvex
{
public:
    using AudioProcessorEditor_Orvex::AudioProcessorEditor_Orvex;
    void timerCallback() override {}
};

juce::Image blank(int w, int h)
{
    return juce::Image(juce::Image::ARGB, w, h, true);
}

class EditorBase : public ::testing::Test
{
protected:
    EditorBase() : properties(crumlet_module_test::shippedDescription())
    {
        store.AttachPropertySet(&properties);
        editor = std::make_unique<Editor>(&store, 1.25f);
        editor->setRefreshPending(false);
        knobs.setKnobFilmstrip(blank(61 * 62, 64), 61, 0);
        fader.setSliderImages(blank(140, 6), blank(10, 6));
        fader.setControlSize(67, 5);
        fader.setFillReference(2, 0);
    }

    double value(const char* name) const { return properties.value(name); }

    quarl::PropertySet properties;
    Store store;
    LookAndFeel_Orvex knobs;
    LookAndFeel_Orvex fader;
    std::unique_ptr<Editor> editor;
};
} // namespace

TEST_F(EditorBase, StartsWithRefreshPendingAndCountsItself)
{
    Editor other(&store, 1.0f);
    EXPECT_TRUE(other.isRefreshPending());
    EXPECT_EQ(other.getLastMovedSlider(), nullptr);
    EXPECT_EQ(other.getProcessor(), &store);
    EXPECT_EQ(JuceCount_Quarl::liveCount(), 2);
    EXPECT_FLOAT_EQ(editor->getDisplayScale(), 1.25f);
    editor->setDisplayScale(1.5f);
    EXPECT_FLOAT_EQ(editor->getDisplayScale(), 1.5f);
}

TEST_F(EditorBase, RotaryKnobIsSetUpFromTheStoreAndWritesFloats)
{
    Slider_Orvex_Log knob;
    editor->addRotaryKnob(knob, P::EQFreq, {549, 284}, knobs);
    EXPECT_EQ(knob.getBounds(), juce::Rectangle<int>(549, 284, 62, 64));
    EXPECT_EQ(static_cast<int>(knob.getProperties()[K::index]), P::EQFreq);
    EXPECT_EQ(knob.getMinimum(), 120.0);
    EXPECT_EQ(knob.getMaximum(), 12000.0);
    EXPECT_EQ(knob.getValue(), 1000.0);
    EXPECT_EQ(knob.getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
    EXPECT_NEAR(knob.getRotaryParameters().startAngleRadians, 3.6651914f, 1e-6f);
    EXPECT_NEAR(knob.getRotaryParameters().endAngleRadians, 8.901179f, 1e-6f);
    EXPECT_EQ(knob.getDoubleClickReturnValue(), 1000.0);
    EXPECT_EQ(knob.getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_EQ(knob.getParentComponent(), editor.get());

    knob.setValue(2500.0, juce::sendNotificationSync);
    EXPECT_EQ(value("EQFreq"), 2500.0);
    EXPECT_TRUE(editor->isRefreshPending());
    EXPECT_EQ(editor->getLastMovedSlider(), &knob);
}

TEST_F(EditorBase, LinearSliderOnAListParameterRoundsToEvenAndWritesIntegers)
{
    Slider_Orvex_Discrete slider;
    editor->addLinearSlider(slider, P::DistortionMode, {266, 105}, fader);
    EXPECT_EQ(slider.getSliderStyle(), juce::Slider::LinearHorizontal);
    EXPECT_EQ(slider.getBounds(), juce::Rectangle<int>(266, 105, 67, 5));
    EXPECT_DOUBLE_EQ(slider.getInterval(), 0.1); // ten values
    slider.setValue(2.5, juce::sendNotificationSync);
    EXPECT_EQ(value("DistortionMode"), 2.0);
    slider.setValue(3.5, juce::sendNotificationSync);
    EXPECT_EQ(value("DistortionMode"), 4.0);
}

TEST_F(EditorBase, TallLookMakesAVerticalSlider)
{
    LookAndFeel_Orvex tall;
    tall.setSliderImages(blank(20, 150), blank(20, 6));
    juce::Slider slider;
    editor->addLinearSlider(slider, P::LoFiFilter, {10, 10}, tall);
    EXPECT_EQ(slider.getSliderStyle(), juce::Slider::LinearVertical);
    EXPECT_EQ(slider.getBounds(), juce::Rectangle<int>(10, 10, 20, 150));
}

TEST_F(EditorBase, DragIsOneHostChangeGroupLabelledWithTheProperty)
{
    Slider_Orvex knob;
    editor->addRotaryKnob(knob, P::EQGain, {0, 0}, knobs);
    editor->sliderDragStarted(&knob);
    knob.setValue(3.0, juce::sendNotificationSync);
    knob.setValue(4.5, juce::sendNotificationSync);
    editor->sliderDragEnded(&knob);
    const auto& events = properties.changeGroupEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, quarl::ChangeGroupEvent::Kind::Opened);
    EXPECT_EQ(events[1].kind, quarl::ChangeGroupEvent::Kind::Closed);
    EXPECT_EQ(events[1].label, "EQGain");
    EXPECT_EQ(value("EQGain"), 4.5);
}

TEST_F(EditorBase, WritesToAGameDrivenPropertyAreDropped)
{
    Slider_Orvex knob;
    editor->addRotaryKnob(knob, P::EQGain, {0, 0}, knobs);
    properties.setRTPC("EQGain", true);
    knob.setValue(6.0, juce::sendNotificationSync);
    EXPECT_EQ(value("EQGain"), 0.0);
}

TEST_F(EditorBase, ToggleButtonWritesItsStateAsASwitch)
{
    juce::ImageButton button;
    editor->addToggleButton(button, P::FiltersEnable, {37, 371}, juce::Image(), blank(20, 12));
    EXPECT_EQ(button.getBounds(), juce::Rectangle<int>(37, 371, 20, 12));
    EXPECT_TRUE(button.getClickingTogglesState());
    EXPECT_FALSE(button.getToggleState());
    button.setToggleState(true, juce::dontSendNotification);
    editor->buttonClicked(&button);
    EXPECT_EQ(value("FiltersEnable"), 1.0);
    button.setToggleState(false, juce::dontSendNotification);
    editor->buttonClicked(&button);
    EXPECT_EQ(value("FiltersEnable"), 0.0);
    // A click does not ask for a refresh: the host's change report does.
    EXPECT_FALSE(editor->isRefreshPending());
}

TEST_F(EditorBase, ButtonKeysDecideWhatAClickWrites)
{
    juce::ImageButton radio;
    editor->addToggleButton(radio, P::EQFilterType, {609, 273}, blank(28, 15), blank(28, 15));
    radio.getProperties().set(K::explicitValue, 2);
    editor->buttonClicked(&radio);
    EXPECT_EQ(value("EQFilterType"), 2.0);

    juce::ImageButton plus;
    editor->addToggleButton(plus, P::DistortionMode, {0, 0}, blank(10, 10), blank(10, 10));
    plus.getProperties().set(K::radioButtonPlus, 3);
    plus.getProperties().set(K::plusValue, 7);
    editor->buttonClicked(&plus);
    EXPECT_EQ(value("DistortionMode"), 3.0);
    plus.setToggleState(true, juce::dontSendNotification);
    editor->buttonClicked(&plus);
    EXPECT_EQ(value("DistortionMode"), 7.0);
}

TEST_F(EditorBase, StepButtonsStopAtTheEndsOrWrap)
{
    juce::ImageButton next, previous;
    editor->addStepButton(next, P::SIMType, 1.0f, {246, 46}, blank(10, 13), blank(10, 13));
    editor->addStepButton(previous, P::SIMType, -1.0f, {119, 46}, blank(10, 13), blank(10, 13));
    EXPECT_FALSE(next.getClickingTogglesState());
    EXPECT_EQ(next.getBounds(), juce::Rectangle<int>(246, 46, 10, 13));
    editor->buttonClicked(&previous);
    EXPECT_EQ(value("SIMType"), 0.0);
    editor->buttonClicked(&next);
    EXPECT_EQ(value("SIMType"), 1.0);
    properties.set("SIMType", 163);
    editor->buttonClicked(&next);
    EXPECT_EQ(value("SIMType"), 163.0);
    next.getProperties().set(K::wrap, true);
    previous.getProperties().set(K::wrap, juce::var());
    editor->buttonClicked(&next);
    EXPECT_EQ(value("SIMType"), 0.0);
    editor->buttonClicked(&previous);
    EXPECT_EQ(value("SIMType"), 163.0);
}

TEST_F(EditorBase, ComboBoxListsTheValuesAndWritesTheChosenPosition)
{
    juce::ComboBox box;
    editor->addComboBox(box, P::DistortionMode, {448, 275}, 50, 15, juce::Colours::white, &knobs);
    EXPECT_EQ(box.getNumItems(), 10);
    EXPECT_EQ(box.getItemText(0), juce::String(valueListOf(P::DistortionMode)[0]));
    EXPECT_EQ(box.getBounds(), juce::Rectangle<int>(448, 275, 50, 15));
    EXPECT_EQ(&box.getLookAndFeel(), &knobs);
    EXPECT_FALSE(box.isTextEditable());
    box.setSelectedId(4, juce::sendNotificationSync);
    EXPECT_EQ(value("DistortionMode"), 3.0);
    EXPECT_TRUE(editor->isRefreshPending());
    box.setSelectedId(1, juce::sendNotificationSync);
    EXPECT_EQ(value("DistortionMode"), 0.0);
    box.setLookAndFeel(nullptr);
}

TEST_F(EditorBase, TypedLabelTextIsParsedAndClamped)
{
    juce::Label label;
    editor->addValueLabel(label, P::EQFreq, {548, 354}, 0, juce::Colours::black);
    EXPECT_EQ(label.getBounds(), juce::Rectangle<int>(548, 354, 40, 14));
    EXPECT_EQ(label.getText(), store.getParameterText(P::EQFreq));
    EXPECT_FLOAT_EQ(label.getFont().getHeight(), 11.0f);
    EXPECT_TRUE(label.isEditableOnSingleClick());
    EXPECT_FALSE(label.isEditableOnDoubleClick());
    label.setText("2000 Hz", juce::sendNotificationSync);
    EXPECT_EQ(value("EQFreq"), 2000.0);
    EXPECT_TRUE(editor->isRefreshPending());
    label.setText("99999", juce::sendNotificationSync);
    EXPECT_EQ(value("EQFreq"), 12000.0);
    label.setText("loud", juce::sendNotificationSync); // no number reads as 0, clamped up
    EXPECT_EQ(value("EQFreq"), 120.0);

    juce::Label wide;
    editor->addValueLabel(wide, P::EQGain, {100, 20}, 5, juce::Colours::white);
    EXPECT_EQ(wide.getBounds(), juce::Rectangle<int>(95, 20, 50, 14));
}

TEST_F(EditorBase, TypedTextIsReadAsADecimalNumberOnly)
{
    juce::Label label;
    editor->addValueLabel(label, P::EQGain, {548, 354});
    auto type = [&](const char* text) {
        label.setText(text, juce::sendNotificationSync);
        return value("EQGain");
    };
    EXPECT_EQ(type("-3.5dB"), -3.5);
    EXPECT_EQ(type("nan"), 0.0) << "no number: 0, not NaN";
    EXPECT_EQ(type("5"), 5.0);
    EXPECT_EQ(type("inf"), 0.0);
    EXPECT_EQ(type("0x0A"), 0.0) << "the leading 0";
    EXPECT_EQ(type("1e400"), 12.0) << "far above the range: the maximum";
    EXPECT_EQ(type("-1e400"), -12.0);
    EXPECT_EQ(type(""), 0.0);
    {
        CommaLocale comma;
        if (!comma.active())
            GTEST_SKIP() << "no locale with a decimal comma is installed";
        EXPECT_EQ(type("2.5"), 2.5);
        EXPECT_EQ(type("-1,5"), -1.0);
    }
}

TEST_F(EditorBase, TextEditorRewritesTheStoredValue)
{
    juce::TextEditor text;
    text.getProperties().set(K::index, P::EQGain);
    properties.set("EQGain", 3.0);
    const auto writes = properties.writeCount();
    text.setText("7", false);
    editor->textEditorTextChanged(text);
    EXPECT_EQ(properties.writeCount(), writes + 1);
    EXPECT_EQ(value("EQGain"), 3.0);
}

TEST_F(EditorBase, PadWritesItsAxesUnscaled)
{
    XYSlider pad;
    pad.getProperties().set(K::indexX, P::LoFiFilter);
    pad.getProperties().set(K::indexY, P::InputGain);
    pad.getProperties().set(K::indexZ, P::EQGain);
    pad.getProperties().set(K::indexEnable, P::GateEnable);
    pad.addListener(editor.get());
    pad.setZ(0.75, false);
    pad.setOff(true, false);
    pad.setXY(0.25, 0.125, true);
    EXPECT_EQ(value("LoFiFilter"), 0.25);
    EXPECT_EQ(value("InputGain"), 0.875);
    EXPECT_EQ(value("GateEnable"), 0.0);
    EXPECT_EQ(value("EQGain"), 0.0); // the third axis is not in use
    pad.setUsesZ(true);
    pad.setOff(false, true);
    EXPECT_EQ(value("EQGain"), 0.25);
    EXPECT_EQ(value("GateEnable"), 1.0);
    EXPECT_TRUE(editor->isRefreshPending());
    pad.removeListener(editor.get());
}

TEST(EditorContainer, HoldsTheEditorAtItsOwnSizeAndDeletesIt)
{
    quarl::PropertySet properties(crumlet_module_test::shippedDescription());
    Store store;
    store.AttachPropertySet(&properties);
    auto* editor = new Editor(&store, 1.0f);
    editor->setSize(749, 565);
    const int before = JuceCount_Quarl::liveCount();
    {
        PluginEditorContainer container(editor);
        EXPECT_EQ(container.getWidth(), 749);
        EXPECT_EQ(container.getHeight(), 565);
        EXPECT_EQ(container.getNumChildComponents(), 1);
        EXPECT_EQ(container.getChildComponent(0), editor);
        EXPECT_TRUE(editor->isOpaque());
        EXPECT_TRUE(editor->isVisible());
        // Without a screen to ask, 96 dpi: no scaling.
        EXPECT_EQ(PluginEditorContainer::screenPixelsPerInch(), 96);
        EXPECT_TRUE(editor->getTransform().isIdentity());
    }
    EXPECT_EQ(JuceCount_Quarl::liveCount(), before - 1);
    // The last editor took the framework down with it.
    EXPECT_EQ(before, 1);
    EXPECT_EQ(juce::MessageManager::getInstanceWithoutCreating(), nullptr);
}
