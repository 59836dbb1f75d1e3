// The engine as the DAW wrappers run it: steady settings in whole buffers, automated floats
// ramped in sub-blocks that land on the new value, meters over the whole buffer, no memory
// from the system per buffer, a tail that covers coinciding resonances, the zipper a device
// retune makes, sent at once and ramped, and every value set while playing arriving.
#include "engine/DawTail.h"
#include "plugins/common/EngineSession.h"
#include "tests/support/LateChanges.h"
#include "tools/plugins/ZipperMeasurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr auto indexOf = &plugins::EngineSession::indexOf;

// The defaults with some values replaced.
std::array<float, kParameterCount> settings(std::initializer_list<std::pair<const char*, float>> changes = {})
{
    std::array<float, kParameterCount> v{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        v[i] = g_parameterDefinitions[i].defaultValue;
    for (const auto& [name, value] : changes)
        v[indexOf(name)] = value;
    return v;
}

class RecordCounter final : public plugins::MeterRecordListener
{
public:
    void meterRecordPosted(const void*, std::uint32_t) override { ++records; }
    int records = 0;
};

// Plays one mono buffer of a quiet tone through the session; answers the records posted.
int play(plugins::EngineSession& session, RecordCounter& counter, std::uint32_t frames, float level = 0.1f)
{
    std::vector<float> x(frames);
    for (std::uint32_t i = 0; i < frames; ++i)
        x[i] = level * std::sin(0.05f * static_cast<float>(i));
    float* channel = x.data();
    const int before = counter.records;
    session.process(&channel, frames);
    return counter.records - before;
}
} // namespace

TEST(EngineSession, SteadySettingsPlayInWholeBuffersAndMovingFloatsInSubBlocks)
{
    plugins::EngineSession session(48000, 1);
    ASSERT_TRUE(session.ready());
    RecordCounter counter;
    session.setMeterRecordListener(&counter);
    session.setAll(settings());
    EXPECT_EQ(play(session, counter, 512), 1);
    EXPECT_EQ(play(session, counter, 1000), 2) << "at most 512 frames an effect buffer";
    // A list entry and a switch change at once, the buffer whole.
    session.set(indexOf("SIMType"), 92.f);
    session.set(indexOf("GateEnable"), 0.f);
    EXPECT_EQ(play(session, counter, 512), 1);
    // A float that moves: sub-blocks of at most 32 frames, for this buffer only.
    session.set(indexOf("SIMTuning"), 150.f);
    EXPECT_EQ(play(session, counter, 512), 16);
    EXPECT_EQ(play(session, counter, 512), 1);
    session.set(indexOf("EQFreq"), 2000.f);
    EXPECT_EQ(play(session, counter, 100), 4);
    // Set to the value it holds, it does not move.
    session.set(indexOf("EQFreq"), 2000.f);
    EXPECT_EQ(play(session, counter, 512), 1);
    // Sent at once, it does not ramp.
    session.setAtOnce(indexOf("EQFreq"), 3000.f);
    EXPECT_EQ(play(session, counter, 512), 1);
    session.setMeterRecordListener(nullptr);
}

TEST(EngineSession, ARampArrivesExactlyAtTheNewValue)
{
    // The device model's tail follows its tuning: after the ramp it is that of the new value.
    plugins::EngineSession ramped(48000, 1), atOnce(48000, 1);
    RecordCounter counter;
    for (auto* s : {&ramped, &atOnce})
    {
        s->setAll(settings({{"SIMType", 99.f}}));
        play(*s, counter, 512);
    }
    const std::int64_t before = ramped.tailFrames();
    ramped.set(indexOf("SIMTuning"), 57.3f);
    atOnce.setAtOnce(indexOf("SIMTuning"), 57.3f);
    play(ramped, counter, 300);
    play(atOnce, counter, 300);
    EXPECT_NE(ramped.tailFrames(), before);
    EXPECT_EQ(ramped.tailFrames(), atOnce.tailFrames());
}

TEST(EngineSession, MetersCoverEverySubBlockOfTheBuffer)
{
    plugins::EngineSession session(48000, 2);
    session.setAll(settings({{"NoiseEnable", 0.f}}));
    std::vector<float> left(512, 0.f), right(512, 0.f);
    float* channels[] = {left.data(), right.data()};
    session.process(channels, 512);
    // A loud sample in the first of sixteen sub-blocks, silence after it.
    session.set(indexOf("SIMTuning"), 180.f);
    std::fill(left.begin(), left.end(), 0.f);
    std::fill(right.begin(), right.end(), 0.f);
    right[3] = 0.75f;
    session.process(channels, 512);
    EXPECT_FLOAT_EQ(session.meters().input, 0.75f);
    EXPECT_GT(session.meters().output, 0.f);
    // The next buffer's meters are its own.
    std::fill(left.begin(), left.end(), 0.f);
    std::fill(right.begin(), right.end(), 0.f);
    session.process(channels, 512);
    EXPECT_EQ(session.meters().input, 0.f);
}

TEST(EngineSession, NoBufferTakesMemoryFromTheSystem)
{
    plugins::EngineSession session(48000, 2);
    session.setAll(settings({{"NoiseLevel", -40.f}}));
    std::vector<float> left(700, 0.1f), right(700, -0.1f);
    float* channels[] = {left.data(), right.data()};
    session.process(channels, 700);
    const std::size_t tuning = indexOf("SIMTuning"), type = indexOf("SIMType");
    const std::uint64_t before = session.systemAllocations();
    for (int i = 0; i < 200; ++i)
    {
        if (i % 2 == 0)
            session.set(tuning, 50.f + static_cast<float>(i) * 0.7f);
        if (i % 7 == 0)
            session.set(type, static_cast<float>(i % 160));
        session.process(channels, static_cast<std::uint32_t>(1 + (i * 37) % 700));
    }
    EXPECT_EQ(session.systemAllocations(), before);
}

TEST(EngineSession, TheTailToldCoversCoincidingResonances)
{
    // The high- and low-pass at one frequency, both steep and at their highest Q: their four
    // sections ring on past the tail the effect reports.
    plugins::EngineSession session(48000, 1);
    auto ringing = settings({{"FiltersHPFFreq", 300.f}, {"FiltersLPFFreq", 300.f}, {"FiltersHPFQ", 100.f},
                             {"FiltersLPFQ", 100.f}, {"FiltersHPFSlope", 1.f}, {"FiltersLPFSlope", 1.f},
                             {"DistortionEnable", 0.f}, {"NoiseEnable", 0.f}, {"GateEnable", 0.f}, {"LoFiEnable", 0.f},
                             {"EQFilterType", 2.f}, {"EQFreq", 12000.f}, {"SIMType", 60.f}, {"SIMTuning", 200.f}});
    // A stage switched off keeps the tail of its last set-up in the effect's sum: the EQ and
    // the device model are set up first where they hardly ring, then switched off.
    std::vector<float> x(48000, 0.f);
    float* channel = x.data();
    session.setAll(ringing);
    session.process(&channel, 512);
    ringing[indexOf("EQEnable")] = 0.f;
    ringing[indexOf("SIMEnable")] = 0.f;
    session.setAll(ringing);
    // Half a second of noise, then silence.
    std::uint32_t state = 1;
    for (std::size_t i = 0; i < 24000; ++i)
        x[i] = static_cast<float>((state = state * 1664525u + 1013904223u) >> 8) / 16777216.f - 0.5f;
    for (std::size_t at = 0; at < x.size(); at += 512)
    {
        channel = x.data() + at;
        session.process(&channel, static_cast<std::uint32_t>(std::min<std::size_t>(512, x.size() - at)));
    }
    const std::int64_t told = session.tailFrames();
    const std::int64_t own = told / kDawTailStretch;
    ASSERT_GT(own, 2000);
    ASSERT_LT(told, 24000);
    float peak = 0.f;
    for (float v : x)
        peak = std::max(peak, std::fabs(v));
    auto peakOver = [&](std::int64_t from, std::int64_t to) {
        float p = 0.f;
        for (std::int64_t i = 24000 + from; i < 24000 + to; ++i)
            p = std::max(p, std::fabs(x[static_cast<std::size_t>(i)]));
        return p;
    };
    EXPECT_GT(peakOver(own - 100, own), peak * 1e-3f) << "the effect's own tail ends less than 60 dB down";
    EXPECT_LT(peakOver(told, 24000), peak * 1e-3f) << "the tail told to the DAW ends 60 dB down";
}

TEST(EngineSession, RampedAutomationZipsClearlyLess)
{
    // A device retune swept over a second in host buffers of 512 frames: the energy it puts
    // above 4 kHz on a 1 kHz sine, against the sine's band. The default device, and the one
    // whose retune zips most when its values are sent at once.
    for (int device : {0, 99})
    {
        const double steady = zipperDb(SweepDelivery::Steady, 512, 48000, device);
        const double atOnce = zipperDb(SweepDelivery::AtOnce, 512, 48000, device);
        const double ramped = zipperDb(SweepDelivery::Ramped, 512, 48000, device);
        RecordProperty("device" + std::to_string(device), std::to_string(atOnce) + " dB at once, " +
                                                              std::to_string(ramped) + " dB ramped");
        EXPECT_LT(ramped, atOnce - 10.0) << device;
        EXPECT_GT(ramped, steady) << device << ": the measurement sees past its own floor";
    }
}

namespace
{
// The session as both wrappers drive it: the block from the values in force at the start, a
// single update for each value moved while playing.
class SessionEffect final : public crumlet_test::EffectUnderTest
{
public:
    explicit SessionEffect(const crumlet_test::Settings& given)
        : m_session(crumlet_test::lateChangePlan().sampleRate, 1)
    {
        std::array<float, kParameterCount> values = settings();
        for (const auto& [name, value] : given)
            values[indexOf(name)] = value;
        m_session.setAll(values);
    }
    void play(float* mono, std::uint32_t frames) override { m_session.process(&mono, frames); }
    void set(const std::string& property, float value) override { m_session.set(indexOf(property), value); }

private:
    plugins::EngineSession m_session;
};
} // namespace

TEST(EngineSession, EveryValueSetWhilePlayingArrives)
{
    const auto missed = crumlet_test::missedLateChanges(crumlet_test::makerOf<SessionEffect>());
    EXPECT_TRUE(missed.empty()) << crumlet_test::listed(missed);
}
