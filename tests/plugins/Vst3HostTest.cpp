// The VST3 plugin in a small host built on JUCE's VST3 hosting: its parameters, a render
// against `crumlet render`, its state against the parameter block `crumlet bank` writes, and
// its editor (on an X server of the test's own).
#include "params/ParameterTable.h"
#include "tests/plugins/GuiOnVirtualDisplay.h"
#include "tests/plugins/Vst3Hosting.h"
#include "tests/support/TestFolder.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>
#include <sndfile.hh>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;


namespace
{
int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<float> readAll(const std::string& file, int& channels)
{
    SndfileHandle f(file);
    channels = f.channels();
    std::vector<float> samples(static_cast<std::size_t>(std::max<sf_count_t>(f.frames(), 0)) * f.channels());
    f.readf(samples.data(), f.frames());
    return samples;
}

std::string bytesOf(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}


class Vst3Host : public GuiSuite
{
protected:
    void SetUp() override
    {
        m_dir = crumlet_test::freshTestFolder("crumlet-vst3");
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    std::unique_ptr<juce::AudioPluginInstance> load(int channels = 2)
    {
        auto instance = loadVst3Bundle(CRUMLET_VST3_PATH);
        if (instance != nullptr)
        {
            const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
            juce::AudioProcessor::BusesLayout layout;
            layout.inputBuses.add(set);
            layout.outputBuses.add(set);
            EXPECT_TRUE(instance->setBusesLayout(layout));
        }
        return instance;
    }

    // Sets parameters by property name, in their own units, as a DAW's automation would.
    static void set(juce::AudioPluginInstance& plugin, const std::map<std::string, float>& values)
    {
        for (const auto& [name, value] : values)
        {
            const ParameterDefinition* d = findParameterByName(name);
            ASSERT_NE(d, nullptr) << name;
            for (auto* p : plugin.getParameters())
                if (p->getName(64) == juce::String(name))
                    p->setValueNotifyingHost((value - d->minValue) / (d->maxValue - d->minValue));
        }
    }

    fs::path m_dir;
};
} // namespace

TEST_F(Vst3Host, ListsTheFortyParametersInHostOrder)
{
    auto plugin = load();
    ASSERT_NE(plugin, nullptr);
    const auto& parameters = plugin->getParameters();
    ASSERT_GE(parameters.size(), static_cast<int>(kParameterCount));
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& d = g_parameterDefinitions[i];
        auto* p = parameters[static_cast<int>(i)];
        EXPECT_EQ(p->getName(64).toStdString(), toAscii(d.name));
        EXPECT_NEAR(p->getDefaultValue(), (d.defaultValue - d.minValue) / (d.maxValue - d.minValue), 1e-6) << toAscii(d.name);
    }
    // The device list's texts reach the host.
    auto* sim = parameters[static_cast<int>(kParameterCount) - 1];
    for (std::size_t i = 0; i < kParameterCount; ++i)
        if (toAscii(g_parameterDefinitions[i].name) == "SIMType")
            sim = parameters[static_cast<int>(i)];
    sim->setValue(92.f / 163.f);
    EXPECT_EQ(sim->getCurrentValueAsText().toStdString(), "House Phone");
    EXPECT_EQ(plugin->getLatencySamples(), 0);
}

TEST_F(Vst3Host, RendersAsCrumletRenderDoes)
{
    // About two seconds of tone, stereo float, in whole buffers: `crumlet render` pads a
    // short last buffer to the full size, as the host does at the end of a sound, and the
    // noise is drawn per buffer.
    constexpr int kFrames = 512 * 187;
    std::vector<float> x(kFrames * 2);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 0.3f * std::sin(0.021f * static_cast<float>(i / 2)) + 0.02f * std::sin(1.7f * static_cast<float>(i));
    {
        SndfileHandle f(path("in.wav"), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000);
        f.writef(x.data(), kFrames);
    }
    ASSERT_EQ(run("'" CRUMLET_TOOL_PATH "' render --quiet --in '" + path("in.wav") + "' --out '" + path("ref.wav") +
                  "' --set SIMType=#92 DistortionAmount=40 NoiseLevel=-40 EQGain=-6"),
              0);

    auto plugin = load();
    ASSERT_NE(plugin, nullptr);
    set(*plugin, {{"SIMType", 92.f}, {"DistortionAmount", 40.f}, {"NoiseLevel", -40.f}, {"EQGain", -6.f}});
    plugin->prepareToPlay(48000.0, 512);
    juce::AudioBuffer<float> buffer(2, 512);
    juce::MidiBuffer midi;
    std::vector<float> out;
    for (int at = 0; at < kFrames; at += 512)
    {
        const int n = std::min(512, kFrames - at);
        buffer.setSize(2, n, false, false, true);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < n; ++i)
                buffer.setSample(c, i, x[static_cast<std::size_t>(at + i) * 2 + c]);
        plugin->processBlock(buffer, midi);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 2; ++c)
                out.push_back(buffer.getSample(c, i));
    }
    // The filters, EQ and device model ring on: the host is told for how long.
    EXPECT_GT(plugin->getTailLengthSeconds(), 0.0);
    plugin->releaseResources();

    int channels = 0;
    const auto reference = readAll(path("ref.wav"), channels);
    ASSERT_GE(reference.size(), out.size());
    std::size_t differing = 0, first = out.size();
    for (std::size_t i = 0; i < out.size(); ++i)
        if (out[i] != reference[i])
            first = std::min(first, i), ++differing;
    EXPECT_EQ(differing, 0u) << "first at frame " << first / 2 << ": " << (first < out.size() ? out[first] : 0.f) << " vs "
                             << (first < out.size() ? reference[first] : 0.f);
}

namespace
{
// The host keeps a plugin's component state inside a record of its own; this is the
// plugin's part of it, as the plugin wrote it.
std::string componentStateOf(juce::AudioPluginInstance& plugin, std::unique_ptr<juce::XmlElement>* record = nullptr)
{
    juce::MemoryBlock state;
    plugin.getStateInformation(state);
    auto xml = juce::AudioProcessor::getXmlFromBinary(state.getData(), static_cast<int>(state.getSize()));
    if (xml == nullptr || xml->getChildByName("IComponent") == nullptr)
        return {};
    juce::MemoryBlock component;
    component.fromBase64Encoding(xml->getChildByName("IComponent")->getAllSubText());
    if (record != nullptr)
        *record = std::move(xml);
    return std::string(static_cast<const char*>(component.getData()), component.getSize());
}

void restore(juce::AudioPluginInstance& plugin, const juce::XmlElement& record)
{
    juce::MemoryBlock state;
    juce::AudioProcessor::copyXmlToBinary(record, state);
    plugin.setStateInformation(state.getData(), static_cast<int>(state.getSize()));
}
} // namespace

TEST_F(Vst3Host, StateIsTheParameterBlockAndRoundTrips)
{
    auto plugin = load();
    ASSERT_NE(plugin, nullptr);
    // Lists and switches: a float set through its normalised value may land a rounding away.
    set(*plugin, {{"SIMType", 116.f}, {"GateEnable", 0.f}, {"DistortionMode", 7.f}, {"LoFiBitDepthType", 5.f}});
    std::unique_ptr<juce::XmlElement> record;
    const std::string state = componentStateOf(*plugin, &record);
    ASSERT_NE(record, nullptr);

    // The tag, the version and the parameter block that `crumlet bank` writes.
    ASSERT_EQ(run("'" CRUMLET_TOOL_PATH "' bank --out '" + path("b.bank") +
                  "' --set SIMType=#116 GateEnable=off DistortionMode=#7 LoFiBitDepthType=#5"),
              0);
    const std::string block = bytesOf(path("b.bank"));
    ASSERT_GE(state.size(), 8 + block.size());
    EXPECT_EQ(state.substr(0, 8), std::string("CRML\x01\0\0\0", 8));
    EXPECT_EQ(state.substr(8, block.size()), block);

    // Into a fresh instance and out again, byte for byte.
    auto other = load();
    ASSERT_NE(other, nullptr);
    restore(*other, *record);
    EXPECT_EQ(componentStateOf(*other), state);

    // A damaged state changes nothing.
    record->getChildByName("IComponent")->deleteAllTextElements();
    record->getChildByName("IComponent")->addTextElement(juce::MemoryBlock("CRML", 4).toBase64Encoding());
    restore(*other, *record);
    EXPECT_EQ(componentStateOf(*other), state);
}

TEST_F(Vst3Host, ShowsTheProductEditorInItsWindow)
{
    ASSERT_TRUE(s_gui->display.isRunning()) << s_gui->display.error();
    auto plugin = load();
    ASSERT_NE(plugin, nullptr);
    plugin->prepareToPlay(48000.0, 512);
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor(plugin->createEditorIfNeeded());
        ASSERT_NE(editor, nullptr);
        // The product's canvas at scale 1, not the generic editor's list of forty sliders.
        EXPECT_EQ(editor->getWidth(), 749);
        EXPECT_EQ(editor->getHeight(), 565);

        // Open while the DAW automates and plays, then closed: the editor follows the
        // parameters and takes meter records, and goes cleanly.
        set(*plugin, {{"SIMType", 92.f}, {"EQGain", -6.f}});
        juce::AudioBuffer<float> buffer(2, 512);
        juce::MidiBuffer midi;
        for (int i = 0; i < 20; ++i)
        {
            for (int c = 0; c < 2; ++c)
                for (int f = 0; f < 512; ++f)
                    buffer.setSample(c, f, 0.25f * std::sin(0.05f * static_cast<float>(f)));
            plugin->processBlock(buffer, midi);
            dispatchMessagesFor(10);
        }
    }
    plugin->releaseResources();
}
