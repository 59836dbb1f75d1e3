// The product's editor inside the DAW plugin, in process: the processor and its editor as
// the plugin client builds them, the DAW's side played by calls on the parameters.
#include "plugins/juce/CrumletDawEditor.h"
#include "plugins/juce/CrumletDawProcessor.h"
#include "tests/plugins/GuiOnVirtualDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace
{
// Counts the DAW's view of edits: values changed and gestures begun and ended.
struct DawSide final : juce::AudioProcessorListener
{
    void audioProcessorParameterChanged(juce::AudioProcessor*, int, float) override { ++changes; }
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin(juce::AudioProcessor*, int) override { ++begun; }
    void audioProcessorParameterChangeGestureEnd(juce::AudioProcessor*, int) override { ++ended; }
    int changes = 0, begun = 0, ended = 0;
};

std::size_t hostIndexOf(const char* name)
{
    const ParameterDefinition* d = findParameterByName(name);
    EXPECT_NE(d, nullptr) << name;
    return d != nullptr ? static_cast<std::size_t>(d - g_parameterDefinitions.data()) : 0;
}

class DawEditor : public GuiSuite
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(s_gui->display.isRunning()) << s_gui->display.error();
        editor.reset(dynamic_cast<CrumletDawEditor*>(processor.createEditor()));
        ASSERT_NE(editor, nullptr);
        processor.addListener(&daw);
    }
    void TearDown() override
    {
        processor.removeListener(&daw);
        editor.reset();
    }

    // The DAW moves a parameter (automation), in the parameter's own units.
    void automate(const char* name, float value)
    {
        auto& p = processor.parameter(hostIndexOf(name));
        p.setValueNotifyingHost(p.convertTo0to1(value));
    }
    // A tick of both timers: the editor learns of the DAW's changes and rereads the store.
    void tick()
    {
        editor->followParameters();
        editor->editor().timerCallback();
    }
    template <typename T>
    T& control(const char* layoutId)
    {
        auto* c = dynamic_cast<T*>(editor->editor().findControl(layoutId));
        EXPECT_NE(c, nullptr) << layoutId;
        return *c;
    }

    CrumletDawProcessor processor;
    DawSide daw;
    std::unique_ptr<CrumletDawEditor> editor;
};
} // namespace

TEST_F(DawEditor, IsTheProductEditorAtItsSize)
{
    EXPECT_EQ(editor->getWidth(), 749);
    EXPECT_EQ(editor->getHeight(), 565);
    EXPECT_EQ(editor->editor().getBounds(), editor->getLocalBounds());
    EXPECT_NE(editor->editor().findControl("SIMType.menu"), nullptr);
}

TEST_F(DawEditor, FollowsTheDawsAutomation)
{
    automate("EQGain", -6.f);
    automate("SIMType", 92.f);
    automate("FiltersEnable", 0.f);
    automate("FiltersLPFSlope", 1.f);
    tick();
    EXPECT_NEAR(control<juce::Slider>("EQGain").getValue(), -6.0, 1e-4);
    EXPECT_EQ(control<juce::ComboBox>("SIMType.menu").getSelectedId(), 93);
    EXPECT_FALSE(control<juce::Button>("FiltersEnable").getToggleState());
    EXPECT_TRUE(control<juce::Button>("FiltersLPFSlope.24").getToggleState());
    EXPECT_FALSE(control<juce::Button>("FiltersLPFSlope.12").getToggleState());
    EXPECT_EQ(control<juce::Label>("EQGain.label").getText().toStdString(), "-6.00");

    // Nothing changed since: no refresh.
    const int refreshes = editor->editor().refreshCount();
    tick();
    EXPECT_EQ(editor->editor().refreshCount(), refreshes);
}

TEST_F(DawEditor, ADragIsOneGestureThatWritesTheParameter)
{
    auto& knob = control<juce::Slider>("EQGain");
    editor->editor().sliderDragStarted(&knob);
    for (double v : {-2.0, -4.0, -7.5})
        knob.setValue(v, juce::sendNotificationSync);
    editor->editor().sliderDragEnded(&knob);
    EXPECT_EQ(daw.begun, 1);
    EXPECT_EQ(daw.ended, 1);
    EXPECT_EQ(daw.changes, 3);
    EXPECT_NEAR(processor.value(hostIndexOf("EQGain")), -7.5f, 1e-4f);
}

TEST_F(DawEditor, AClickIsAGestureOfItsOwn)
{
    auto& button = control<juce::Button>("EQEnable");
    const bool was = processor.value(hostIndexOf("EQEnable")) != 0.f;
    button.setToggleState(!was, juce::dontSendNotification);
    editor->editor().buttonClicked(&button);
    EXPECT_EQ(processor.value(hostIndexOf("EQEnable")) != 0.f, !was);
    EXPECT_EQ(daw.begun, 1);
    EXPECT_EQ(daw.ended, 1);

    // The step buttons walk the device list, one gesture a click.
    auto& up = control<juce::Button>("SIMType.next");
    const float device = processor.value(hostIndexOf("SIMType"));
    editor->editor().buttonClicked(&up);
    EXPECT_EQ(processor.value(hostIndexOf("SIMType")), device + 1.f);
    EXPECT_EQ(daw.begun, 2);
    EXPECT_EQ(daw.ended, 2);
}

TEST_F(DawEditor, MetersTakeTheEnginesRecordsAtTheTick)
{
    processor.setPlayConfigDetails(2, 2, 48000.0, 512);
    processor.prepareToPlay(48000.0, 512);
    juce::AudioBuffer<float> buffer(2, 512);
    juce::MidiBuffer midi;
    auto play = [&](float level) {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 512; ++i)
                buffer.setSample(c, i, i % 2 == 0 ? level : -level);
        processor.processBlock(buffer, midi);
    };
    // Two buffers between ticks: both fold in, the louder shows.
    play(0.5f);
    play(0.25f);
    const EditorMetering& metering = editor->editor().metering();
    EXPECT_EQ(metering.inputPeak()[0], 0.0) << "nothing reaches the meters before the tick";
    editor->takeMeterRecords();
    EXPECT_NEAR(metering.inputPeak()[0], 0.5, 1e-6);
    EXPECT_NEAR(metering.inputPeak()[1], 0.5, 1e-6);
    EXPECT_FALSE(metering.isMono());

    // Closed, the editor takes no more records and the processing goes on; an editor opened
    // later starts from the records after it opened.
    editor.reset();
    play(0.5f);
    editor.reset(dynamic_cast<CrumletDawEditor*>(processor.createEditor()));
    editor->takeMeterRecords();
    EXPECT_EQ(editor->editor().metering().inputPeak()[0], 0.0);
    play(0.125f);
    editor->takeMeterRecords();
    EXPECT_NEAR(editor->editor().metering().inputPeak()[0], 0.125, 1e-6);
    processor.releaseResources();
}

TEST_F(DawEditor, AMonoInstanceShowsTheMonoLayout)
{
    processor.setPlayConfigDetails(1, 1, 48000.0, 512);
    processor.prepareToPlay(48000.0, 512);
    juce::AudioBuffer<float> buffer(1, 512);
    for (int i = 0; i < 512; ++i)
        buffer.setSample(0, i, i % 2 == 0 ? 0.3f : -0.3f);
    juce::MidiBuffer midi;
    processor.processBlock(buffer, midi);
    EXPECT_FALSE(editor->editor().metering().isMono());
    editor->takeMeterRecords();
    EXPECT_TRUE(editor->editor().metering().isMono());
    EXPECT_NEAR(editor->editor().metering().inputPeak()[0], 0.3, 1e-6);
    processor.releaseResources();
}
