// The radio keys where the input's level says: at the first sample at or above the threshold,
// and unkeys once the input has stayed below it for the hold time; between transmissions the
// squelched receiver is silent but for the squelch tail, and the static lies under the voice
// at the level asked.
#include "transmission/RadioLink.h"
#include "transmission/Transmission.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

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
    std::map<std::string, double> tilts;
    for (const char* colour : {"white", "pink", "brown"})
    {
        RadioSettings settings = parseRadio(std::string("key=line:static=-20dB:click=off:carrier=off:colour=") + colour);
        RadioLink radio(settings, kRate, 1, 9);
        std::vector<float> x(static_cast<std::size_t>(kRate), 0.f), levels(x.size(), 0.f);
        radio.process(x.data(), levels.data(), x.size());
        EXPECT_NEAR(rmsDb(x, 0, x.size()), -20.0, 0.5) << colour;
        // Colour by the level of its first differences against its own (a rising slope of
        // 6 dB per octave, which weighs the band's top): within the receiver's band (250 Hz to
        // 3 kHz) pink's top lies below white's and brown's further below pink's, by about 3 and
        // 6 dB in this measure.
        std::vector<float> d(x.size() - 1);
        for (std::size_t i = 0; i + 1 < x.size(); ++i)
            d[i] = x[i + 1] - x[i];
        tilts[colour] = rmsDb(d, 0, d.size()) - rmsDb(x, 0, x.size());
    }
    EXPECT_GT(tilts["white"] - tilts["pink"], 2.0);
    EXPECT_GT(tilts["pink"] - tilts["brown"], 2.0);
}

// A voice at -20 dBFS in 0.5 s bursts with 1 s gaps: the radio keys and unkeys three times.
std::vector<float> keyedBursts(float peak)
{
    const std::size_t s = static_cast<std::size_t>(kRate);
    std::vector<float> x(5 * s, 0.f);
    for (std::size_t start : {s / 2, 2 * s, 7 * s / 2})
        for (std::size_t i = start; i < start + s / 2; ++i)
            x[i] = peak * static_cast<float>(std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / kRate));
    return x;
}

std::vector<float> throughRadio(const std::vector<float>& input, const std::string& radio, std::uint64_t seed,
                                std::vector<KeyEvent>* events = nullptr)
{
    TransmissionSettings settings;
    settings.radio = parseRadio(radio);
    Transmission line(settings, kRate, 1, seed);
    std::vector<float> out;
    line.process(input.data(), input.size(), out);
    line.finish(out);
    if (events)
        *events = *line.keyEvents();
    return out;
}

float peakOf(const std::vector<float>& x, std::size_t from = 0, std::size_t to = ~std::size_t{0})
{
    float peak = 0.f;
    for (std::size_t i = from; i < std::min(to, x.size()); ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

TEST(RadioLink, TheSquelchBurstSitsTenDecibelsAboveTheStaticWhateverItsColour)
{
    // The burst is white in the receiver's band, whatever the static's colour: no step of the
    // static's own low end rings out of the band filters when it starts.
    for (const char* colour : {"white", "pink", "brown"})
        for (std::uint64_t seed : {1, 2, 3})
        {
            std::vector<KeyEvent> events;
            const auto out = throughRadio(keyedBursts(0.1f), std::string("static=-20dB:click=off:colour=") + colour,
                                          seed, &events);
            ASSERT_EQ(events.size(), 6u);
            for (std::size_t e = 1; e < events.size(); e += 2)
            {
                const std::size_t unkey = events[e].frame, s = static_cast<std::size_t>(kRate);
                const double burst = rmsDb(out, unkey, unkey + s / 8);
                EXPECT_NEAR(burst, -10.0, 1.5) << colour << " seed " << seed << " unkey " << e / 2;
                // Band-limited noise peaks within about 12 dB of its RMS.
                EXPECT_LT(20 * std::log10(peakOf(out, unkey, unkey + s / 8)), burst + 13.0)
                    << colour << " seed " << seed << " unkey " << e / 2;
            }
        }
}

TEST(RadioLink, NoSettingOfTheRadioTakesAQuietVoiceAboveFullScale)
{
    // The loudest static and click the settings allow, every colour, keyed by the level and for
    // the whole line: the receiver's audio stage saturates what the radio adds, so a voice
    // peaking at -20 dBFS stays below 0 dBFS.
    const auto input = keyedBursts(0.1f);
    for (const char* colour : {"white", "pink", "brown"})
        for (const char* keying : {"level", "line"})
            for (const char* levels : {"static=-6dB:click=0dB", "static=-20dB:click=0dB", "static=-6dB:click=off"})
                for (std::uint64_t seed : {1, 2, 3})
                {
                    const auto out = throughRadio(input,
                                                  std::string(levels) + ":squelch=1000ms:colour=" + colour +
                                                      ":key=" + keying,
                                                  seed);
                    EXPECT_LT(peakOf(out), 1.f) << levels << " " << colour << " " << keying << " seed " << seed;
                }
}

} // namespace
} // namespace transmission
