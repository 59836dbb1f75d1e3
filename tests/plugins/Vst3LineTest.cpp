// Crumlet Line's VST3 in a small host built on JUCE's VST3 hosting: the bus layouts it takes,
// the latency the host is told against the output's actual lag, a codec change while playing
// and the new latency reaching the host, a space with its latency and tail and an export's
// samples, and its state round trip and refusal of bad state.
#include "plugins/common/LineEngine.h"
#include "plugins/common/LineParameters.h"
#include "space/Convolver.h"
#include "tests/plugins/GuiOnVirtualDisplay.h"
#include "tests/plugins/Vst3Hosting.h"
#include "tests/transmission/SpeechSamples.h"
#include "transmission/Transmission.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <cmath>
#include <dlfcn.h>
#include <filesystem>

namespace fs = std::filesystem;


namespace
{
using namespace plugins;

// On an X server of the suite's own, as the plugin's framework expects one.
class Vst3Line : public GuiSuite
{
protected:
    static std::unique_ptr<juce::AudioPluginInstance> load(double rate = 48000.0)
    {
        auto instance = loadVst3Bundle(CRUMLET_LINE_VST3_PATH, rate);
        if (instance != nullptr)
            EXPECT_EQ(instance->getName().toStdString(), "Crumlet Line");
        return instance;
    }

    static bool useLayout(juce::AudioPluginInstance& plugin, const juce::AudioChannelSet& in,
                          const juce::AudioChannelSet& out)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add(in);
        layout.outputBuses.add(out);
        return plugin.setBusesLayout(layout);
    }

    static juce::AudioProcessorParameter* parameter(juce::AudioPluginInstance& plugin, std::size_t index)
    {
        for (auto* p : plugin.getParameters())
            if (p->getName(64) == juce::String(lineParameters()[index].name))
                return p;
        ADD_FAILURE() << lineParameters()[index].name;
        return nullptr;
    }

    // Sets a parameter in its own units, as a DAW would.
    static void set(juce::AudioPluginInstance& plugin, std::size_t index, float value)
    {
        const LineParameter& d = lineParameters()[index];
        if (auto* p = parameter(plugin, index))
            p->setValueNotifyingHost((value - d.minValue) / (d.maxValue - d.minValue));
    }

    static float codecIndex(transmission::CodecKind kind)
    {
        const auto& catalogue = transmission::codecCatalogue();
        for (std::size_t i = 0; i < catalogue.size(); ++i)
            if (catalogue[i].kind == kind)
                return static_cast<float>(i + 1);
        return 0.f;
    }

    // Plays planar channels through in buffers of `block`; answers the output.
    static std::vector<std::vector<float>> play(juce::AudioPluginInstance& plugin, std::vector<std::vector<float>> x,
                                                int block)
    {
        const int channels = static_cast<int>(x.size());
        juce::AudioBuffer<float> buffer(channels, block);
        juce::MidiBuffer midi;
        for (std::size_t at = 0; at < x[0].size(); at += static_cast<std::size_t>(block))
        {
            const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), x[0].size() - at));
            buffer.setSize(channels, n, false, false, true);
            for (int c = 0; c < channels; ++c)
                std::copy_n(x[static_cast<std::size_t>(c)].data() + at, n, buffer.getWritePointer(c));
            plugin.processBlock(buffer, midi);
            for (int c = 0; c < channels; ++c)
                std::copy_n(buffer.getReadPointer(c), n, x[static_cast<std::size_t>(c)].data() + at);
        }
        return x;
    }
};

std::vector<float> speechAt(double rate, double seconds)
{
    auto speech = transmission::testing::readSpeech(transmission::testing::speechPath());
    speech.samples.resize(std::min<std::size_t>(speech.samples.size(), static_cast<std::size_t>(seconds * 16000)));
    return transmission::testing::resampled(speech, rate).samples;
}
} // namespace

TEST_F(Vst3Line, TakesMonoAndStereoAndRefusesOtherLayouts)
{
    auto plugin = load();
    ASSERT_NE(plugin, nullptr);
    // The table's parameters in its order (the host may add its own bypass after them).
    ASSERT_GE(plugin->getParameters().size(), static_cast<int>(kLineParameterCount));
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        EXPECT_EQ(plugin->getParameters()[static_cast<int>(i)]->getName(64).toStdString(), lineParameters()[i].name);
    EXPECT_TRUE(useLayout(*plugin, juce::AudioChannelSet::mono(), juce::AudioChannelSet::mono()));
    EXPECT_TRUE(useLayout(*plugin, juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo()));
    EXPECT_FALSE(useLayout(*plugin, juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo()));
    EXPECT_FALSE(useLayout(*plugin, juce::AudioChannelSet::create5point1(), juce::AudioChannelSet::create5point1()));
    // The codec list and a rate list reach the host as texts.
    auto* codec = parameter(*plugin, kLineCodec);
    ASSERT_NE(codec, nullptr);
    codec->setValue(codecIndex(transmission::CodecKind::Gsm) / lineParameters()[kLineCodec].maxValue);
    EXPECT_EQ(codec->getCurrentValueAsText().toStdString(), "gsm");
}

TEST_F(Vst3Line, TheHostIsToldTheLatencyTheOutputHas)
{
    // Mono and stereo, 44.1 and 48 kHz: the latency the host reads is the lag of the output
    // behind the tool's rendering of the same input, to the sample.
    for (double rate : {44100.0, 48000.0})
        for (int channels : {1, 2})
        {
            auto plugin = load(rate);
            ASSERT_NE(plugin, nullptr);
            const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
            ASSERT_TRUE(useLayout(*plugin, set, set));
            const bool gsm = transmission::codecEntry(transmission::CodecKind::Gsm).available;
            LineValues values = defaultLineValues();
            values[kLineCodec] = gsm ? codecIndex(transmission::CodecKind::Gsm) : 0.f;
            this->set(*plugin, kLineCodec, gsm ? codecIndex(transmission::CodecKind::Gsm) : 0.f);
            // The value reaches the plugin with the next buffer; playback then starts afresh,
            // as in a DAW that loads a session and plays.
            plugin->prepareToPlay(rate, 512);
            play(*plugin, {static_cast<std::size_t>(channels), std::vector<float>(512)}, 512);
            plugin->releaseResources();
            plugin->prepareToPlay(rate, 512);
            const int latency = plugin->getLatencySamples();
            EXPECT_EQ(latency, static_cast<int>(LineEngine::measureLatency(
                                   lineSetupOf(values).settings.codec, rate)));
            EXPECT_GT(latency, 0);

            std::vector<std::vector<float>> x(static_cast<std::size_t>(channels), speechAt(rate, 1.5));
            const auto y = play(*plugin, x, 512);
            plugin->releaseResources();

            transmission::TransmissionSettings settings;
            settings.codec = transmission::parseCodec(gsm ? "gsm" : "none");
            transmission::Transmission line(settings, rate, 1, 1);
            // After the silence the plugin's line warms up on.
            std::vector<float> input(LineEngine::warmUpFrames(rate, 512), 0.f), reference;
            const std::size_t warmUp = input.size();
            input.insert(input.end(), x[0].begin(), x[0].end());
            line.process(input.data(), input.size(), reference);
            line.finish(reference);
            reference.erase(reference.begin(), reference.begin() + static_cast<std::ptrdiff_t>(warmUp));
            float worst = 0.f;
            for (const auto& channel : y)
                for (std::size_t i = static_cast<std::size_t>(latency); i < channel.size(); ++i)
                    worst = std::max(worst, std::fabs(channel[i] - reference[i - static_cast<std::size_t>(latency)]));
            EXPECT_LT(worst, 1e-4f) << rate << " Hz, " << channels << " channels, latency " << latency;
        }
}

TEST_F(Vst3Line, ACodecChangeWhilePlayingReachesTheHostWithItsLatency)
{
    const auto& opus = transmission::codecEntry(transmission::CodecKind::Opus);
    const auto& amr = transmission::codecEntry(transmission::CodecKind::AmrNb);
    if (!opus.available || !amr.available)
        GTEST_SKIP() << "needs Opus and AMR";
    auto plugin = load();
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(useLayout(*plugin, juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo()));
    set(*plugin, kLineCodec, codecIndex(transmission::CodecKind::Opus));
    plugin->prepareToPlay(48000.0, 480);
    const int opusLatency = plugin->getLatencySamples();
    std::vector<std::vector<float>> x(2, speechAt(48000.0, 0.5));
    play(*plugin, x, 480);

    set(*plugin, kLineCodec, codecIndex(transmission::CodecKind::AmrNb));
    set(*plugin, kLineLoss, 10.f);
    const auto expected = static_cast<int>(LineEngine::measureLatency(transmission::parseCodec("amr"), 48000.0));
    ASSERT_NE(expected, opusLatency);
    for (int i = 0; i < 200 && plugin->getLatencySamples() != expected; ++i)
    {
        play(*plugin, x, 480);
        dispatchMessagesUntil([&] { return plugin->getLatencySamples() == expected; }, 20);
    }
    EXPECT_EQ(plugin->getLatencySamples(), expected);
    const auto y = play(*plugin, x, 480);
    for (const auto& channel : y)
        for (float s : channel)
            ASSERT_TRUE(std::isfinite(s));
    plugin->releaseResources();
}

TEST_F(Vst3Line, ASpaceByItsNameItsLatencyAndTailReachTheHostAndAnExportIsTheLineInIt)
{
    // The station at 50 %, the host exporting (offline: the space waits for its workers): the
    // host reads the room's name, the space's latency and its tail, and the output is the line
    // heard in the space as the engine makes it in process.
    auto plugin = load();
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(useLayout(*plugin, juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo()));
    const auto& choices = lineParameters()[kLineSpace].choices;
    const auto station = static_cast<float>(std::find(choices.begin(), choices.end(), "station") - choices.begin());
    set(*plugin, kLineSpace, station);
    set(*plugin, kLineMix, 50.f);
    EXPECT_EQ(parameter(*plugin, kLineSpace)->getCurrentValueAsText().toStdString(), "station");
    plugin->setNonRealtime(true);
    plugin->prepareToPlay(48000.0, 512);
    play(*plugin, {2, std::vector<float>(512)}, 512);
    plugin->releaseResources();
    plugin->prepareToPlay(48000.0, 512);
    // A block of the host's largest buffer.
    EXPECT_EQ(plugin->getLatencySamples(), static_cast<int>(space::firstPartitionFor(512) - 1));
    EXPECT_GT(plugin->getTailLengthSeconds(), 2.0);

    std::vector<std::vector<float>> x(2, speechAt(48000.0, 1.5));
    const auto y = play(*plugin, x, 512);
    plugin->releaseResources();
    LineValues values = defaultLineValues();
    values[kLineSpace] = station;
    values[kLineMix] = 50.f;
    LineEngine engine(lineSetupOf(values), 48000.0, 2, 512, 0);
    std::vector<float*> pointers(2);
    auto expected = x;
    for (std::size_t at = 0; at < x[0].size(); at += 512)
    {
        for (std::size_t c = 0; c < 2; ++c)
            pointers[c] = expected[c].data() + at;
        engine.process(pointers.data(), std::min<std::size_t>(512, x[0].size() - at));
    }
    std::size_t differing = 0;
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < y[c].size(); ++i)
            differing += y[c][i] != expected[c][i] ? 1 : 0;
    EXPECT_EQ(differing, 0u);
}

TEST_F(Vst3Line, StateRoundTripsAndBadStateChangesNothing)
{
    auto plugin = load();
    ASSERT_NE(plugin, nullptr);
    set(*plugin, kLineCodec, codecIndex(transmission::CodecKind::AmrNb));
    set(*plugin, kLineAmrRate, 4.f);
    set(*plugin, kLineLoss, 12.f);
    set(*plugin, kLineBurst, 3.f);
    set(*plugin, kLineRadio, 1.f);
    set(*plugin, kLineColour, 2.f);
    set(*plugin, kLineSquelch, 400.f);
    set(*plugin, kLineSeed, 4321.f);
    set(*plugin, kLineSpace, 3.f);
    set(*plugin, kLineMix, 35.f);
    set(*plugin, kLineDistance, 2.5f);
    juce::MemoryBlock state;
    plugin->getStateInformation(state);

    auto other = load();
    ASSERT_NE(other, nullptr);
    other->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        EXPECT_NEAR(parameter(*other, i)->getValue(), parameter(*plugin, i)->getValue(), 1e-6) << lineParameters()[i].id;
    EXPECT_EQ(parameter(*other, kLineAmrRate)->getCurrentValueAsText().toStdString(), "7.4 kbit/s");
    juce::MemoryBlock again;
    other->getStateInformation(again);
    EXPECT_TRUE(again == state);

    // Damaged or foreign blobs: nothing changes, nothing breaks.
    auto record = juce::AudioProcessor::getXmlFromBinary(state.getData(), static_cast<int>(state.getSize()));
    ASSERT_NE(record, nullptr);
    auto* component = record->getChildByName("IComponent");
    ASSERT_NE(component, nullptr);
    const juce::String blobs[] = {"", "garbage", "<CrumletLine version=\"1\"><Parameter id=\"loss\" value=\"1e400\"/>",
                                  "<CrumletLine version=\"9\"><Parameter id=\"loss\" value=\"3\"/></CrumletLine>",
                                  "<Other version=\"1\"><Parameter id=\"loss\" value=\"3\"/></Other>"};
    for (const juce::String& blob : blobs)
    {
        juce::MemoryBlock inner;
        if (blob.startsWithChar('<'))
        {
            // As the plugin writes its state: the XML in JUCE's binary wrapping.
            if (auto xml = juce::parseXML(blob))
                juce::AudioProcessor::copyXmlToBinary(*xml, inner);
            else
                inner.append(blob.toRawUTF8(), blob.getNumBytesAsUTF8());
        }
        else
            inner.append(blob.toRawUTF8(), blob.getNumBytesAsUTF8());
        component->deleteAllTextElements();
        component->addTextElement(inner.toBase64Encoding());
        juce::MemoryBlock damaged;
        juce::AudioProcessor::copyXmlToBinary(*record, damaged);
        other->setStateInformation(damaged.getData(), static_cast<int>(damaged.getSize()));
        juce::MemoryBlock after;
        other->getStateInformation(after);
        EXPECT_TRUE(after == state) << blob;
    }
}

namespace
{
// A transport that plays on from where it is told.
struct Transport final : juce::AudioPlayHead
{
    juce::int64 time = 0;
    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo position;
        position.setIsPlaying(true);
        position.setTimeInSamples(time);
        return position;
    }
};
} // namespace

TEST_F(Vst3Line, ATransportJumpEmptiesTheLine)
{
    // Speech for a second, then the transport jumps and silence follows. Without the jump the
    // line would still hand out the speech it holds (its latency's worth); with it the line
    // starts afresh at once and the speech is gone.
    if (!transmission::codecEntry(transmission::CodecKind::Gsm).available)
        GTEST_SKIP() << "needs GSM";
    for (bool jump : {false, true})
    {
        auto plugin = load();
        ASSERT_NE(plugin, nullptr);
        ASSERT_TRUE(useLayout(*plugin, juce::AudioChannelSet::mono(), juce::AudioChannelSet::mono()));
        set(*plugin, kLineCodec, codecIndex(transmission::CodecKind::Gsm));
        plugin->prepareToPlay(48000.0, 480);
        play(*plugin, {std::vector<float>(480)}, 480);
        plugin->releaseResources();
        Transport transport;
        plugin->setPlayHead(&transport);
        plugin->prepareToPlay(48000.0, 480);
        const auto latency = static_cast<std::size_t>(plugin->getLatencySamples());

        std::vector<float> x = speechAt(48000.0, 1.0);
        x.resize(x.size() / 480 * 480);
        juce::AudioBuffer<float> buffer(1, 480);
        juce::MidiBuffer midi;
        auto playBuffer = [&](const float* from) {
            if (from != nullptr)
                std::copy_n(from, 480, buffer.getWritePointer(0));
            else
                buffer.clear();
            plugin->processBlock(buffer, midi);
            transport.time += 480;
        };
        for (std::size_t at = 0; at < x.size(); at += 480)
            playBuffer(x.data() + at);
        if (jump)
            transport.time = 0;
        // From the buffer in which the transport jumps, a fresh line stood by plays.
        float loudest = 0.f;
        for (std::size_t done = 0; done < latency; done += 480)
        {
            playBuffer(nullptr);
            loudest = std::max(loudest, buffer.getMagnitude(0, 0, 480));
        }
        if (jump)
            EXPECT_LT(loudest, 0.001f);
        else
            EXPECT_GT(loudest, 0.05f);
        plugin->releaseResources();
    }
}

TEST_F(Vst3Line, TheModuleExportsItsCodec2Generator)
{
    // Codec 2's library draws from codec2_rand; the module's own definition (one generator per
    // channel) takes the library's place only when the module exports it. Whether it does is
    // checked here; the decoding it gives is checked through the LV2 binary with lilv's
    // lv2apply, since this test program links the transmission stage itself and a definition
    // in the host program comes before any module's.
    const auto module = fs::canonical(CRUMLET_LINE_VST3_PATH) / "Contents" / "x86_64-linux" / "Crumlet Line.so";
    void* handle = ::dlopen(module.c_str(), RTLD_LAZY | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    EXPECT_NE(::dlsym(handle, "codec2_rand"), nullptr);
    ::dlclose(handle);
}
