// The editor's controls: where they are, which parameter each writes when driven as a user
// drives it, and how host-side changes come back to them.
#include "editor/EditorLayout.h"
#include "params/ParameterTable.h"
#include "params/ValueLists.h"
#include "tests/editor/EditorTestSupport.h"
#include "widgets/JuceCount_Quarl.h"

#include <cmath>
#include <set>
#include <string>

using namespace editor_test;
namespace P = ParamId;
using EditorLayout::Look;

namespace
{
juce::Rectangle<int> toJuce(const EditorLayout::Rect& r)
{
    return {r.x, r.y, r.w, r.h};
}

bool isMeter(Look look)
{
    return look == Look::BarMeter || look == Look::ClipLight || look == Look::DuckMeter || look == Look::GateMeter ||
           look == Look::NoiseDisplay;
}

} // namespace

TEST_F(OpenEditor, EveryControlSitsWhereTheLayoutTablePutsIt)
{
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->getWidth(), 749);
    EXPECT_EQ(editor->getHeight(), 565);
    int placed = 0;
    for (const EditorLayout::Control& c : EditorLayout::controls())
    {
        if (isMeter(c.look))
            continue;
        juce::Component* control = editor->findControl(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(control->getBounds(), toJuce(c.bounds)) << c.id;
        EXPECT_TRUE(control->isVisible()) << c.id;
        EXPECT_EQ(control->getParentComponent(), editor) << c.id;
        ++placed;
    }
    EXPECT_EQ(placed, 78);
    for (int list = 0; list < EditorMetering::kLists; ++list)
        for (int channel = 0; channel < 2; ++channel)
            EXPECT_TRUE(editor->metering().meter(static_cast<EditorMetering::List>(list), channel)->isVisible());
}

TEST_F(OpenEditor, EveryBoundControlCarriesItsParameter)
{
    for (const EditorLayout::Control& c : EditorLayout::controls())
    {
        if (c.parameter == nullptr || c.look == Look::Picture)
            continue;
        const juce::var* index = editor->findControl(c.id)->getProperties().getVarPointer("index");
        ASSERT_NE(index, nullptr) << c.id;
        EXPECT_EQ(static_cast<int>(*index), findParameterByName(c.parameter)->id) << c.id;
    }
}

TEST_F(OpenEditor, KnobsAndSlidersWriteTheirOwnPropertyWhenDragged)
{
    int dragged = 0;
    for (const EditorLayout::Control& c : EditorLayout::controls())
    {
        auto* slider = dynamic_cast<juce::Slider*>(editor->findControl(c.id));
        if (slider == nullptr)
            continue;
        const double before = value(c.parameter);
        const auto othersBefore = plugin->getParameterValue(P::EQGain);
        const std::size_t groups = properties.changeGroupEvents().size();
        // Up (and right) raises every control here; at its maximum, drag the other way.
        const bool atMax = slider->getValue() >= slider->getMaximum();
        drag(*slider, atMax ? -60 : 60, atMax ? 60 : -60);
        EXPECT_NE(value(c.parameter), before) << c.id;
        EXPECT_NEAR(value(c.parameter), slider->getValue(), std::abs(slider->getValue()) * 1e-6 + 1e-6) << c.id;
        if (std::string(c.parameter) != "EQGain")
            EXPECT_EQ(plugin->getParameterValue(P::EQGain), othersBefore) << c.id;
        // The drag is one change group in the host, labelled with the property's name.
        const auto& events = properties.changeGroupEvents();
        ASSERT_EQ(events.size(), groups + 2) << c.id;
        EXPECT_EQ(events.back().label, c.parameter);
        EXPECT_EQ(properties.openChangeGroups(), 0);
        ++dragged;
    }
    EXPECT_EQ(dragged, 29);
}

TEST_F(OpenEditor, ButtonsWriteTheirOwnPropertyWhenClicked)
{
    struct Case
    {
        const char* id;
        const char* property;
        double expected;
    };
    const Case cases[] = {
        {"SIMEnable", "SIMEnable", 0},          {"LoFiEnable", "LoFiEnable", 0},
        {"FiltersEnable", "FiltersEnable", 0},  {"DistortionEnable", "DistortionEnable", 0},
        {"EQEnable", "EQEnable", 0},            {"NoiseEnable", "NoiseEnable", 0},
        {"GateEnable", "GateEnable", 0},        {"FiltersHPFSlope.24", "FiltersHPFSlope", 1},
        {"FiltersHPFSlope.12", "FiltersHPFSlope", 0}, {"FiltersLPFSlope.24", "FiltersLPFSlope", 1},
        {"EQFilterType.HPF", "EQFilterType", 0}, {"EQFilterType.LPF", "EQFilterType", 2},
        {"SIMType.next", "SIMType", 1},         {"SIMType.previous", "SIMType", 0},
    };
    for (const Case& c : cases)
    {
        auto* button = control<juce::Button>(c.id);
        ASSERT_NE(button, nullptr);
        if (std::string(c.property).find("Enable") != std::string::npos)
            EXPECT_EQ(button->getToggleState(), value(c.property) != 0) << c.id << " shows the stored state";
        click(*button);
        EXPECT_EQ(value(c.property), c.expected) << c.id;
        // The host's change report refreshed the editor at once.
        EXPECT_FALSE(editor->isRefreshPending()) << c.id;
    }
    EXPECT_TRUE(control<juce::Button>("EQFilterType.LPF")->getToggleState());
    EXPECT_FALSE(control<juce::Button>("EQFilterType.EQ")->getToggleState());
}

TEST_F(OpenEditor, DistortionModeMenuWritesTheChosenMode)
{
    auto* mode = control<juce::ComboBox>("DistortionMode");
    ASSERT_EQ(mode->getNumItems(), 10);
    mode->setSelectedItemIndex(4, juce::sendNotificationSync);
    EXPECT_EQ(value("DistortionMode"), 4);
    EXPECT_EQ(mode->getText(), juce::String(valueListOf(P::DistortionMode)[4]));
}

TEST_F(OpenEditor, TypedValuesAreTakenAndClamped)
{
    auto type = [&](const char* id, const char* text) {
        auto* label = control<juce::Label>(id);
        label->setText(text, juce::sendNotificationSync);
    };
    type("LoFiDownSampleIndex.label", "3429");
    EXPECT_EQ(value("LoFiDownSampleIndex"), 13);
    type("LoFiDownSampleIndex.label", "48000");
    EXPECT_EQ(value("LoFiDownSampleIndex"), 0);
    type("LoFiBitDepthType.label", " 2 bits");
    EXPECT_EQ(value("LoFiBitDepthType"), 15);
    type("LoFiBitDepthType.label", "17");
    EXPECT_EQ(value("LoFiBitDepthType"), 0);
    type("EQFreq.label", "2500");
    EXPECT_EQ(value("EQFreq"), 2500);
    type("EQGain.label", "99");
    EXPECT_EQ(value("EQGain"), properties.description().properties[properties.description().indexOf("EQGain")].maxValue);
    tick();
    EXPECT_EQ(control<juce::Label>("LoFiBitDepthType.label")->getText(), "Off");
}

TEST_F(OpenEditor, HostSideChangesShowAtOnceAndAtTheNextTick)
{
    // Reported by the host: the plugin object refreshes the editor at once.
    properties.set("EQFreq", 2500);
    EXPECT_EQ(control<juce::Slider>("EQFreq")->getValue(), 2500);
    EXPECT_EQ(control<juce::Label>("EQFreq.label")->getText(), plugin->getParameterText(P::EQFreq));
    properties.set("SIMType", 73);
    EXPECT_EQ(control<juce::ComboBox>("SIMType.menu")->getText(), "Studio Subwoofer");
    properties.set("FiltersLPFSlope", 1);
    EXPECT_TRUE(control<juce::Button>("FiltersLPFSlope.24")->getToggleState());
    EXPECT_FALSE(control<juce::Button>("FiltersLPFSlope.12")->getToggleState());

    // Not reported: only a pending refresh rereads the store.
    properties.setChangeListener({});
    properties.set("GateThreshold", -20);
    tick();
    EXPECT_EQ(control<juce::Slider>("GateThreshold")->getValue(), -40);
    editor->setRefreshPending(true);
    const int refreshes = editor->refreshCount();
    tick();
    EXPECT_EQ(editor->refreshCount(), refreshes + 1);
    EXPECT_EQ(control<juce::Slider>("GateThreshold")->getValue(), -20);
    EXPECT_FALSE(editor->isRefreshPending());
}

TEST_F(OpenEditor, BothDistortionAmountControlsFollowEachOther)
{
    auto* knob = control<juce::Slider>("DistortionAmount");
    auto* meter = control<juce::Slider>("DistortionAmount.meter");
    knob->setValue(50.0, juce::sendNotificationSync);
    EXPECT_TRUE(editor->isRefreshPending());
    tick();
    EXPECT_EQ(meter->getValue(), 50.0);
}

TEST_F(OpenEditor, PlotsFollowTheFilterSettingsOnly)
{
    Freq_Plot& main = editor->mainPlot();
    Freq_Plot& noise = editor->noisePlot();
    EXPECT_EQ(main.getCurveCount(), 3);
    EXPECT_EQ(noise.getCurveCount(), 2);
    const int evaluations = main.getEvaluationCount();
    properties.set("SIMType", 12);
    properties.set("DistortionAmount", 80);
    EXPECT_EQ(main.getEvaluationCount(), evaluations) << "devices and distortion leave the plots alone";

    properties.set("EQGain", 12);
    EXPECT_EQ(main.getEvaluationCount(), evaluations + 1) << "only the EQ curve is evaluated again";
    int peak = 0;
    for (int i = 0; i < Freq_Plot::kPoints; ++i)
        if (main.getCurveDb(2, i) > main.getCurveDb(2, peak))
            peak = i;
    EXPECT_NEAR(main.getFrequency(peak), 1000.0, 60.0);
    EXPECT_NEAR(main.getCurveDb(2, peak), 12.0, 0.3);

    properties.set("FiltersEnable", 0);
    for (int i = 0; i < Freq_Plot::kPoints; i += 29)
        EXPECT_NEAR(main.getSumDb(i), main.getCurveDb(2, i), 1e-9) << "filters off: the sum is the EQ band";
    properties.set("NoiseEnable", 0);
    for (int i = 0; i < Freq_Plot::kPoints; i += 29)
        EXPECT_NEAR(noise.getCurveDb(0, i), 0.0, 1e-9);
}

TEST(EditorLifetime, OpeningAndClosingLeavesNoEditorCounted)
{
    quarl::PropertySet properties(crumlet_module_test::shippedDescription());
    quarl::HostWindow dialog;
    LRESULT result = 0;
    for (int round = 0; round < 3; ++round)
    {
        juce::MessageManager::getInstance();
        PluginPtr a(new OrvexCrumletPlugin()), b(new OrvexCrumletPlugin());
        a->AttachPropertySet(&properties);
        b->AttachPropertySet(&properties);
        a->HandleWindowMessage(0, dialog.handle(), WM_INITDIALOG, 0, 0, result);
        b->HandleWindowMessage(0, dialog.handle(), WM_INITDIALOG, 0, 0, result);
        EXPECT_EQ(JuceCount_Quarl::liveCount(), 2);
        a->HandleWindowMessage(0, dialog.handle(), WM_DESTROY, 0, 0, result);
        EXPECT_EQ(JuceCount_Quarl::liveCount(), 1);
        EXPECT_NE(juce::MessageManager::getInstanceWithoutCreating(), nullptr) << "the other editor keeps it";
        // Destroying an object whose dialog is open closes its editor.
        b.reset();
        EXPECT_EQ(JuceCount_Quarl::liveCount(), 0);
        EXPECT_EQ(juce::MessageManager::getInstanceWithoutCreating(), nullptr) << "shut down after the last";
    }
}
