// Bad samples and many channels: NaN, infinities and overs reach the codecs as finite samples
// in range and come out finite; every channel has its codec state of its own; a seed renders
// the same samples every time.
#include "transmission/SampleRange.h"
#include "transmission/Transmission.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <gtest/gtest.h>

#include "SpeechSamples.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace transmission
{
namespace
{
std::vector<float> run(const TransmissionSettings& settings, const std::vector<float>& interleaved, unsigned channels,
                       std::uint64_t seed, double rate = 44100)
{
    Transmission line(settings, rate, channels, seed);
    std::vector<float> out;
    const std::size_t frames = interleaved.size() / channels;
    for (std::size_t at = 0; at < frames; at += 512)
        line.process(interleaved.data() + at * channels, std::min<std::size_t>(512, frames - at), out);
    line.finish(out);
    return out;
}

TEST(TransmissionRobustness, SamplesReachTheCodecRoundedHalfAwayFromZero)
{
    // Halves both ways, their neighbours one float step off, and a sweep of every step size.
    std::vector<float> cases;
    for (int k = -65536; k <= 65536; ++k)
    {
        const float half = static_cast<float>(k) / 65536.f;
        cases.insert(cases.end(), {half, std::nextafter(half, 2.f), std::nextafter(half, -2.f)});
    }
    for (float x = 1e-9f; x < 1.f; x *= 1.0001f)
        cases.insert(cases.end(), {x, -x});
    for (float x : cases)
    {
        const long expected = std::lround(static_cast<double>(x) * 32768.0);
        ASSERT_EQ(toPcm16(x), std::clamp<long>(expected, -32768, 32767)) << x;
    }
}

TEST(TransmissionRobustness, NonFiniteAndClippingInputComesOutFiniteThroughEveryCodec)
{
    EXPECT_EQ(finiteInRange(std::numeric_limits<float>::quiet_NaN()), 0.f);
    EXPECT_EQ(finiteInRange(HUGE_VALF), 0.f);
    EXPECT_EQ(finiteInRange(7.f), 1.f);
    EXPECT_EQ(toPcm16(1.f), 32767);
    EXPECT_EQ(toPcm16(-1.f), -32768);
    EXPECT_EQ(toPcm16(std::numeric_limits<float>::quiet_NaN()), 0);

    std::vector<float> hostile(44100);
    for (std::size_t i = 0; i < hostile.size(); ++i)
        hostile[i] = i % 997 == 0 ? std::numeric_limits<float>::quiet_NaN()
                     : i % 1009 == 0 ? -HUGE_VALF
                                     : 6.f * static_cast<float>(std::sin(static_cast<double>(i) * 0.05));
    for (const auto& entry : codecCatalogue())
    {
        if (!entry.available)
            continue;
        TransmissionSettings settings;
        settings.codec = parseCodec(entry.name);
        settings.loss = parseLoss("10%:burst=2");
        settings.radio = parseRadio("on");
        const auto out = run(settings, hostile, 1, 3);
        ASSERT_GE(out.size(), hostile.size()) << entry.name;
        // Finite, and bounded: a codec's full-scale output may overshoot when resampled back
        // (G.726's ringing at the band's edge reaches about 2), never more.
        for (float x : out)
            ASSERT_TRUE(std::isfinite(x) && std::fabs(x) < 4.f) << entry.name << ": " << x;
    }
}

TEST(TransmissionRobustness, EachChannelHasItsOwnCodecAndTheSeedRepeatsTheRender)
{
    TransmissionSettings settings;
    settings.codec = parseCodec("amr:7.4");
    settings.loss = parseLoss("5%:burst=3");
    std::vector<float> mono(44100), stereo(2 * 44100), swapped(2 * 44100);
    for (std::size_t i = 0; i < mono.size(); ++i)
    {
        mono[i] = 0.3f * static_cast<float>(std::sin(static_cast<double>(i) * 0.03) * std::sin(static_cast<double>(i) * 0.0007));
        stereo[2 * i] = mono[i];
        stereo[2 * i + 1] = -0.5f * mono[i];
    }
    // Channel 0 of a stereo render is the mono render of channel 0: nothing leaks across.
    const auto alone = run(settings, mono, 1, 21);
    const auto both = run(settings, stereo, 2, 21);
    ASSERT_EQ(both.size(), 2 * alone.size());
    for (std::size_t i = 0; i < alone.size(); ++i)
        ASSERT_EQ(both[2 * i], alone[i]) << i;
    EXPECT_EQ(run(settings, stereo, 2, 21), both);
    EXPECT_NE(run(settings, stereo, 2, 22), both);
}

// Codec 2 draws random phases from a generator of its library's: every channel keeps its own,
// so a file decodes the same after other files, and beside a render on another thread.
TEST(TransmissionRobustness, CodecTwoRendersRepeatAfterOtherRendersAndBesideAnotherThread)
{
    const auto speech = testing::readSpeech(testing::speechPath());
    for (const char* mode : {"codec2:700", "codec2:1300", "codec2:2400", "codec2:3200"})
    {
        if (!codecEntry(parseCodec(mode).kind).available)
            continue;
        TransmissionSettings settings;
        settings.codec = parseCodec(mode);
        const auto first = run(settings, speech.samples, 1, 5, speech.sampleRate);
        std::vector<float> beside;
        std::thread other([&] { beside = run(settings, speech.samples, 1, 5, speech.sampleRate); });
        const auto second = run(settings, speech.samples, 1, 5, speech.sampleRate);
        other.join();
        EXPECT_EQ(second, first) << mode;
        EXPECT_EQ(beside, first) << mode;
    }
}

TEST(TransmissionRobustness, NothingInNothingOut)
{
    TransmissionSettings settings;
    settings.codec = parseCodec("opus:12k");
    Transmission line(settings, 48000, 1, 1);
    std::vector<float> out;
    line.finish(out);
    EXPECT_TRUE(out.empty());
    EXPECT_THROW(Transmission(TransmissionSettings{CodecSettings{}, parseLoss("5%"), RadioSettings{}}, 48000, 1, 1),
                 SettingsError);
}

} // namespace
} // namespace transmission
