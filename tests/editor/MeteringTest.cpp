// The editor's metering: records folded into the levels the meters read, the stereo and
// mono layouts, and the hand-over of records from the host's delivering thread.
#include "editor/EditorLayout.h"
#include "editor/artwork/Artwork.h"
#include "quarl/MonitorDelivery.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/support/EngineTestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using namespace editor_test;
using List = EditorMetering::List;

namespace
{
constexpr std::array<float, 7> kQuiet = {0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 1.f};

juce::Rectangle<int> layoutBounds(const char* id, EditorLayout::Channels layout)
{
    const auto& b = EditorLayout::findControl(id, layout)->bounds;
    return {b.x, b.y, b.w, b.h};
}

bool sameImage(const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                return false;
    return true;
}

class Metering : public ::testing::Test
{
protected:
    Metering() : metering(editor) {}
    void fold(const std::vector<std::uint8_t>& bytes, bool byteSwap = false) { records.fold(bytes.data(), byteSwap); }
    // One record folded in and taken, as at a tick.
    void accumulate(const std::vector<std::uint8_t>& bytes, bool byteSwap = false)
    {
        fold(bytes, byteSwap);
        metering.take(records);
    }
    juce::Component editor;
    EditorMetering metering;
    MeterRecordFold records;
};
} // namespace

TEST_F(Metering, RecordsFoldIntoPeaksAndDeepestGains)
{
    fold(meterRecord(2, {0.3f, 0.2f, 0.1f, 0.05f, 0.9f, 0.4f, 0.9f}));
    fold(meterRecord(2, {0.7f, 0.1f, 0.2f, 0.02f, 0.95f, 0.3f, 0.5f}));
    metering.take(records);
    EXPECT_FLOAT_EQ(metering.inputPeak()[0], 0.7f);
    EXPECT_FLOAT_EQ(metering.outputPeak()[1], 0.2f);
    EXPECT_FLOAT_EQ(metering.duckInput()[0], 0.2f);
    EXPECT_FLOAT_EQ(metering.duckGain()[0], 0.9f);
    EXPECT_FLOAT_EQ(metering.gateInput()[1], 0.4f);
    EXPECT_FLOAT_EQ(metering.gateGain()[0], 0.5f);
    EXPECT_FLOAT_EQ(metering.noiseLevel(), 0.05f);
    metering.advance();
    EXPECT_EQ(metering.inputPeak()[0], 0.0);
    EXPECT_EQ(metering.gateGain()[0], 1.0);
    EXPECT_EQ(metering.noiseLevel(), 0.0);
}

TEST_F(Metering, ManyChannelsShowTheLoudestOnChannelZero)
{
    std::vector<std::uint8_t> record = meterRecord(6, kQuiet);
    for (std::uint32_t c = 0; c < 6; ++c)
    {
        const float peak = 0.1f * static_cast<float>(c + 1), gain = 1.0f - 0.1f * static_cast<float>(c);
        std::memcpy(record.data() + 4 + 28 * c, &peak, 4);
        std::memcpy(record.data() + 4 + 28 * c + 24, &gain, 4);
    }
    accumulate(record);
    EXPECT_FLOAT_EQ(metering.inputPeak()[0], 0.6f);
    EXPECT_FLOAT_EQ(metering.inputPeak()[3], 0.4f);
    EXPECT_FLOAT_EQ(metering.gateGain()[0], 0.5f);
    EXPECT_TRUE(metering.isMono());

    // Beyond 256 channels nothing is kept per channel, but channel 0 still shows the loudest.
    metering.advance();
    std::vector<std::uint8_t> wide = meterRecord(300, kQuiet);
    const float loud = 0.8f;
    std::memcpy(wide.data() + 4 + 28 * 299, &loud, 4);
    accumulate(wide);
    EXPECT_FLOAT_EQ(metering.inputPeak()[0], 0.8f);
    EXPECT_EQ(metering.inputPeak()[1], 0.0);
}

TEST_F(Metering, ByteSwappedRecordsReadTheSame)
{
    const auto record = meterRecord(2, {0.25f, 0.5f, 0.f, 0.f, 1.f, 0.f, 1.f});
    const std::vector<std::uint8_t> bytes = quarl::byteSwapped(record);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<std::uint8_t>{0, 0, 0, 2}));
    const MeterRecord swapped(bytes.data(), true);
    EXPECT_EQ(swapped.channels(), 2u);
    EXPECT_EQ(swapped.value(0, MeterRecord::InputPeak), 0.25f);
    EXPECT_EQ(swapped.value(1, MeterRecord::OutputPeak), 0.5f);
    accumulate(bytes, true);
    EXPECT_EQ(metering.inputPeak()[1], 0.25);
    EXPECT_EQ(metering.outputPeak()[0], 0.5);
}

TEST_F(Metering, ChannelCountSwitchesBetweenStereoAndMonoLayouts)
{
    using EditorLayout::Channels;
    EXPECT_FALSE(metering.isMono());
    EXPECT_TRUE(sameImage(metering.background(), Artwork::decodeNamed("Crumlet_Stereo_png")));
    auto* duck = static_cast<BarMeter*>(metering.meter(List::DuckInputs, 0));
    EXPECT_EQ(duck->getImage().getHeight(), 4);

    accumulate(meterRecord(1, kQuiet));
    EXPECT_TRUE(metering.isMono());
    EXPECT_TRUE(sameImage(metering.background(), Artwork::decodeNamed("Crumlet_Mono_png")));
    EXPECT_EQ(metering.meter(List::InputBars, 0)->getBounds(), layoutBounds("InputMeter.0", Channels::Mono));
    EXPECT_EQ(metering.meter(List::GateGains, 0)->getBounds(), layoutBounds("GateGainMeter.0", Channels::Mono));
    for (int list = 0; list < EditorMetering::kLists; ++list)
        EXPECT_FALSE(metering.meter(static_cast<List>(list), 1)->isVisible());
    EXPECT_TRUE(sameImage(duck->getImage(), Artwork::decodeNamed("Meter_Duck_Input_mono_png")));

    accumulate(meterRecord(1, kQuiet));
    EXPECT_TRUE(metering.isMono()) << "the same count changes nothing";

    accumulate(meterRecord(2, kQuiet));
    EXPECT_FALSE(metering.isMono());
    EXPECT_EQ(metering.meter(List::InputBars, 0)->getBounds(), layoutBounds("InputMeter.0", Channels::Stereo));
    EXPECT_TRUE(metering.meter(List::OutputClips, 1)->isVisible());
    EXPECT_TRUE(sameImage(duck->getImage(), Artwork::decodeNamed("Meter_Duck_Input_stereo_png")));

    std::vector<std::uint8_t> empty(4, 0);
    accumulate(empty);
    EXPECT_TRUE(metering.isMono()) << "no channels: mono";
    EXPECT_EQ(metering.inputPeak()[0], 0.0);
}

TEST_F(OpenEditor, RecordsFromAnotherThreadReachTheMetersAtTheNextTick)
{
    const auto loud = meterRecord(1, {0.5f, 0.25f, 0.f, 0.f, 1.f, 0.f, 1.f});
    const auto swapped = quarl::byteSwapped(meterRecord(1, {0.5f, 0.25f, 0.f, 0.f, 1.f, 0.f, 1.f}));
    std::uint64_t allocations = 0;
    std::thread audio([&] {
        const ZQ::Quarl::MonitorEntry entry{0, loud.data(), static_cast<std::uint32_t>(loud.size())};
        const ZQ::Quarl::MonitorEntry other{0, swapped.data(), static_cast<std::uint32_t>(swapped.size())};
        plugin->ReceiveMonitorData(&entry, 1, false, 0); // the first call sets up the thread
        const std::uint64_t before = threadAllocations();
        for (int i = 0; i < 5; ++i)
        {
            plugin->ReceiveMonitorData(&entry, 1, false, 0);
            plugin->ReceiveMonitorData(&other, 1, true, 0);
        }
        allocations = threadAllocations() - before;
    });
    audio.join();
    EXPECT_EQ(allocations, 0u) << "the delivering side allocates nothing";
    EXPECT_FALSE(editor->metering().isMono()) << "nothing moves before the tick";
    auto* input = static_cast<BarMeter*>(editor->metering().meter(List::InputBars, 0));
    EXPECT_EQ(input->getSmoothedLevel(), 0.0);

    juce::Thread::sleep(10);
    tick();
    EXPECT_TRUE(editor->metering().isMono());
    EXPECT_GT(input->getSmoothedLevel(), 0.0);
    EXPECT_LE(input->getSmoothedLevel(), 0.5);
    EXPECT_EQ(editor->meterRecords().latestChannels(), MeterRecordFold::kNoRecord);
}

namespace
{
// Delivers records to the plugin object on a thread of its own, as the host's sound engine
// does, until stopped: a stereo record and a mono one in the other byte order, in turn.
class DeliveringThread
{
public:
    explicit DeliveringThread(OrvexCrumletPlugin& plugin)
        : m_stereo(meterRecord(2, {0.5f, 0.25f, 0.1f, 0.05f, 0.8f, 0.2f, 0.7f})),
          m_mono(quarl::byteSwapped(meterRecord(1, {0.3f, 0.3f, 0.f, 0.f, 1.f, 0.f, 1.f}))),
          m_thread([this, &plugin] { run(plugin); })
    {
    }
    ~DeliveringThread() { stop(); }

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    // Waits (at most ten seconds) until `more` further records have gone out.
    void awaitDeliveries(std::uint64_t more) const
    {
        const std::uint64_t target = m_delivered.load() + more;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (m_delivered.load() < target && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }

    std::uint64_t delivered() const { return m_delivered.load(); }

private:
    void run(OrvexCrumletPlugin& plugin)
    {
        const ZQ::Quarl::MonitorEntry stereo{0, m_stereo.data(), static_cast<std::uint32_t>(m_stereo.size())};
        const ZQ::Quarl::MonitorEntry mono{0, m_mono.data(), static_cast<std::uint32_t>(m_mono.size())};
        for (bool odd = false; !m_stop.load(); odd = !odd)
        {
            plugin.ReceiveMonitorData(odd ? &mono : &stereo, 1, odd, 0);
            m_delivered.fetch_add(1);
            std::this_thread::yield();
        }
    }

    const std::vector<std::uint8_t> m_stereo, m_mono;
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_delivered{0};
    std::thread m_thread;
};
} // namespace

// Run under ThreadSanitizer by scripts/ci-extra.sh: the queue is the only thing the two
// threads share.
TEST_F(OpenEditor, RecordsArriveWhileTheMessageThreadTicks)
{
    auto* input = static_cast<BarMeter*>(editor->metering().meter(List::InputBars, 0));
    double loudest = 0.0;
    bool sawMono = false, sawStereo = false;
    {
        DeliveringThread audio(*plugin);
        // Ticks until both layouts have been shown and a level has risen (each tick is
        // slow under the thread sanitizer), at least six times and at most 30.
        for (int i = 0; i < 30 && (i < 6 || !(sawMono && sawStereo && loudest > 0.0)); ++i)
        {
            audio.awaitDeliveries(3);
            // The meters smooth on the millisecond counter: ticks within one millisecond move
            // no level.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            tick();
            loudest = std::max(loudest, input->getSmoothedLevel());
            (editor->metering().isMono() ? sawMono : sawStereo) = true;
        }
        audio.stop();
    }
    EXPECT_TRUE(sawMono && sawStereo) << "both layouts shown as the counts alternate";
    EXPECT_GT(loudest, 0.0);
    EXPECT_LE(loudest, 0.5) << "no level beyond the loudest record";
    tick();
    EXPECT_EQ(editor->meterRecords().latestChannels(), MeterRecordFold::kNoRecord);
    EXPECT_EQ(editor->metering().inputPeak()[0], 0.0) << "the tick rests the levels";
}

TEST_F(OpenEditor, ClosingAndReopeningWhileRecordsArrive)
{
    DeliveringThread audio(*plugin);
    for (int i = 0; i < 6; ++i)
    {
        audio.awaitDeliveries(5);
        send(WM_DESTROY);
        editor = nullptr;
        EXPECT_EQ(plugin->openEditor(), nullptr);
        audio.awaitDeliveries(5);
        send(WM_INITDIALOG);
        editor = plugin->openEditor();
        ASSERT_NE(editor, nullptr);
        tick();
    }
    audio.awaitDeliveries(5);
    audio.stop();
    tick();
    EXPECT_EQ(editor->meterRecords().latestChannels(), MeterRecordFold::kNoRecord);
}

// However many records arrive between two ticks, each one counts: the loudest peak and
// the deepest gain of a thousand reach the meters, whichever record carried them.
TEST_F(OpenEditor, RecordsFoldWithoutLimitUntilTheTick)
{
    auto at = [](std::vector<std::uint8_t>& record, std::uint32_t channel, MeterRecord::Field field, float v) {
        std::memcpy(record.data() + 4 + 28 * channel + 4 * field, &v, 4);
    };
    const auto steady = meterRecord(2, {0.1f, 0.1f, 0.1f, 0.01f, 0.9f, 0.1f, 0.9f});
    for (int i = 0; i < 1000; ++i)
    {
        std::vector<std::uint8_t> record = steady;
        if (i == 500)
            at(record, 0, MeterRecord::InputPeak, 0.9f);
        if (i == 600)
            at(record, 1, MeterRecord::OutputPeak, 1.2f);
        if (i == 700)
            at(record, 1, MeterRecord::GateGain, 0.2f);
        if (i == 800)
            at(record, 0, MeterRecord::NoiseLevel, 0.3f);
        if (i == 900)
            at(record, 0, MeterRecord::DuckGain, std::nanf(""));
        const bool swap = i % 2 == 1; // either byte order
        quarl::deliverMonitorData(*plugin, swap ? quarl::byteSwapped(record) : record, swap);
    }
    const MeterLevels folded = editor->meterRecords().peek();
    EXPECT_EQ(editor->meterRecords().latestChannels(), 2);
    EXPECT_EQ(folded.channels[MeterLevels::InputPeak][0], 0.9f);
    EXPECT_EQ(folded.channels[MeterLevels::InputPeak][1], 0.1f);
    EXPECT_EQ(folded.channels[MeterLevels::OutputPeak][1], 1.2f);
    EXPECT_EQ(folded.channels[MeterLevels::GateGain][1], 0.2f);
    EXPECT_EQ(folded.channels[MeterLevels::GateGain][0], 0.9f);
    EXPECT_EQ(folded.channels[MeterLevels::DuckGain][0], 0.9f) << "NaN folds to nothing";
    EXPECT_EQ(folded.noiseLevel, 0.3f);
    EXPECT_EQ(folded.channels[MeterLevels::InputPeak][2], 0.0) << "a channel no record has rests";

    tick();
    auto* clip = static_cast<ClipIndicator*>(editor->metering().meter(List::OutputClips, 1));
    EXPECT_TRUE(clip->isLit());
    EXPECT_FALSE(static_cast<ClipIndicator*>(editor->metering().meter(List::OutputClips, 0))->isLit());
    const MeterLevels rested = editor->meterRecords().peek();
    EXPECT_EQ(rested.channels[MeterLevels::InputPeak][0], 0.0);
    EXPECT_EQ(rested.channels[MeterLevels::GateGain][1], 1.0);
    EXPECT_EQ(editor->meterRecords().latestChannels(), MeterRecordFold::kNoRecord);
}

// A DAW at 32 frames: the effect posts 45 records between two ticks of the editor. The
// effect runs on an audio thread of its own for each 30 ms, and the one full-scale sample
// of the second sits in the 31st buffer of its tick, in the right channel only.
TEST_F(OpenEditor, RecordsOfThirtyTwoFrameBuffersLightTheClipLightForOneFullScaleSample)
{
    constexpr std::uint32_t kFrames = 32, kRate = 48000;
    constexpr int kBuffersPerTick = kRate * PluginEditor::kRefreshIntervalMs / 1000 / kFrames; // 45
    constexpr int kTicks = kRate / kFrames / kBuffersPerTick + 1;                              // a second
    constexpr int kLoudTick = 11, kLoudBuffer = 30;
    crumlet_test::EffectHarness effect(2, kRate, kFrames);
    ASSERT_EQ(effect.createDefaults(), ZQ::Quarl::Success);
    const std::vector<float> quiet = crumlet_test::sine(kFrames, 1000.0, kRate, 0.25);
    std::vector<float> loud = quiet;
    loud[7] = 1.0f;

    auto* left = static_cast<ClipIndicator*>(editor->metering().meter(List::InputClips, 0));
    auto* right = static_cast<ClipIndicator*>(editor->metering().meter(List::InputClips, 1));
    for (int t = 0; t < kTicks; ++t)
    {
        std::thread audio([&] {
            for (int b = 0; b < kBuffersPerTick; ++b)
            {
                const bool full = t == kLoudTick && b == kLoudBuffer;
                ASSERT_EQ(effect.run({quiet, full ? loud : quiet}, kFrames), ZQ::Quarl::Success);
                quarl::deliverMonitorData(*plugin, effect.context.latest());
            }
        });
        audio.join();
        tick();
        EXPECT_EQ(right->isLit(), t >= kLoudTick) << "tick " << t;
        EXPECT_FALSE(left->isLit()) << "tick " << t;
    }
    EXPECT_EQ(effect.context.postCount(), static_cast<std::uint64_t>(kTicks * kBuffersPerTick));
}
