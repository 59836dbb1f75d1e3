// The radio keys where the input's level says: at the first sample at or above the threshold,
// and unkeys once the input has stayed below it for the hold time; between transmissions the
// squelched receiver is silent but for the squelch tail, and the static lies under the voice
// at the level asked.
#include "transmission/RadioLink.h"
#include "transmission/Transmission.h"

#include <gtest/gtest.h>

#include <cmath>

namespace transmission
{
namespace
{
constexpr double kRate = 48000;

// Bursts of a tone at -12 dBFS: [start, end) in samples.
std::vector<float> bursts(const std::vector<std::pair<std::size_t, std::size_t>>& spans, std::size_t length)
{
    std::vector<float> x(length, 0.f);
    for (auto [start, end] : spans)
        for (std::size_t i = start; i < end; ++i)
            x[i] = 0.25f * static_cast<float>(std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / kRate));
    return x;
}

double rmsDb(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return 10 * std::log10(sum / static_cast<double>(to - from) + 1e-30);
}

TEST(RadioLink, KeyAndUnkeyFallWhereTheInputLevelSays)
{
    // Two transmissions 1.5 s apart; the second has a 200 ms pause inside it, shorter than the
    // hold, which keeps it one transmission.
    const std::size_t s = static_cast<std::size_t>(kRate);
    const auto input = bursts({{s / 2, s}, {2 * s, 2 * s + s / 2}, {2 * s + s / 2 + s / 5, 3 * s}}, 5 * s);
    TransmissionSettings settings;
    settings.radio = parseRadio("hold=350ms:squelch=160ms:threshold=-40dB");
    Transmission line(settings, kRate, 1, 5);
    std::vector<float> out;
    line.process(input.data(), input.size(), out);
    line.finish(out);
    ASSERT_EQ(out.size(), input.size());

    const auto& events = *line.keyEvents();
    ASSERT_EQ(events.size(), 4u);
    // The tone's first sample is 0; it passes -40 dBFS within a sample or two.
    EXPECT_TRUE(events[0].keyed);
    EXPECT_NEAR(static_cast<double>(events[0].frame), s / 2.0, 3);
    // The last sample above the threshold, then 350 ms of hold.
    const std::size_t hold = static_cast<std::size_t>(0.35 * kRate);
    EXPECT_FALSE(events[1].keyed);
    EXPECT_NEAR(static_cast<double>(events[1].frame), static_cast<double>(s + hold), 20);
    EXPECT_TRUE(events[2].keyed);
    EXPECT_NEAR(static_cast<double>(events[2].frame), 2.0 * s, 3);
    EXPECT_FALSE(events[3].keyed);
    EXPECT_NEAR(static_cast<double>(events[3].frame), static_cast<double>(3 * s + hold), 20);

    // Static under the voice's pause (the effect's gate would have left silence there), the
    // squelch tail after unkeying, and silence once it is over.
    EXPECT_NEAR(rmsDb(out, 2 * s + s / 2 + s / 50, 2 * s + s / 2 + s / 6), -32.0, 1.5);
    const std::size_t unkey = events[1].frame;
    EXPECT_GT(rmsDb(out, unkey + s / 100, unkey + s / 10), -26.0);
    EXPECT_EQ(rmsDb(out, unkey + s / 5, 2 * s - 10), -300.0);
    EXPECT_EQ(rmsDb(out, 0, s / 2), -300.0);
}

TEST(RadioLink, ALineKeysFromItsStartToItsEndAndTheTailFollowsIt)
{
    const std::size_t s = static_cast<std::size_t>(kRate);
    const auto input = bursts({{s / 4, s / 2}}, s);
    TransmissionSettings settings;
    settings.radio = parseRadio("key=line:squelch=200ms");
    Transmission line(settings, kRate, 2, 5);
    std::vector<float> stereo(input.size() * 2);
    for (std::size_t i = 0; i < input.size(); ++i)
        stereo[2 * i] = stereo[2 * i + 1] = input[i];
    std::vector<float> out;
    line.process(stereo.data(), input.size(), out);
    line.finish(out);
    const auto& events = *line.keyEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].frame, 0u);
    EXPECT_EQ(events[1].frame, s);
    // The squelch tail is added after the line's end.
    EXPECT_EQ(out.size(), 2 * (s + static_cast<std::size_t>(0.2 * kRate)));
    // Each channel its own static.
    EXPECT_NE(out[2 * 100], out[2 * 100 + 1]);
}

TEST(RadioLink, TheStaticsColourAndLevelAreAsAsked)
{
    for (const char* colour : {"white", "pink", "brown"})
    {
        RadioSettings settings = parseRadio(std::string("key=line:static=-20dB:click=off:carrier=off:colour=") + colour);
        RadioLink radio(settings, kRate, 1, 9);
        std::vector<float> x(static_cast<std::size_t>(kRate), 0.f), levels(x.size(), 0.f);
        radio.process(x.data(), levels.data(), x.size());
        EXPECT_NEAR(rmsDb(x, 0, x.size()), -20.0, 0.5) << colour;
        // Colour by the balance of its first differences: white's are as loud as itself
        // (+3 dB), pink's quieter, brown's much quieter.
        std::vector<float> d(x.size() - 1);
        for (std::size_t i = 0; i + 1 < x.size(); ++i)
            d[i] = x[i + 1] - x[i];
        const double tilt = rmsDb(d, 0, d.size()) - rmsDb(x, 0, x.size());
        if (std::string(colour) == "white")
            EXPECT_NEAR(tilt, 3.0, 0.5);
        else if (std::string(colour) == "pink")
            EXPECT_LT(tilt, -3.0);
        else
            EXPECT_LT(tilt, -15.0);
    }
}

} // namespace
} // namespace transmission
