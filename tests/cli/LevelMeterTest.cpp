// What a render reports of its output: true peak, sample peak, loudness and clipping.
#include "cli/metering/LevelMeter.h"
#include "cli/metering/TruePeakMeter.h"

#include <gtest/gtest.h>

#include <ebur128.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <random>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;

double db(double linear)
{
    return 20.0 * std::log10(linear);
}

std::vector<float> sine(double frequency, double phase, double amplitude, int rate, int frames, int channels = 1)
{
    std::vector<float> x(static_cast<std::size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            x[static_cast<std::size_t>(i) * channels + c] =
                static_cast<float>(amplitude * std::sin(2.0 * kPi * frequency * i / rate + phase));
    return x;
}

// libebur128's own true peak of the same samples, as the reference.
double referenceTruePeakDb(const std::vector<float>& x, int channels, int rate)
{
    ebur128_state* s = ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate), EBUR128_MODE_TRUE_PEAK);
    ebur128_add_frames_float(s, x.data(), x.size() / channels);
    double highest = 0.0;
    for (int c = 0; c < channels; ++c)
    {
        double p = 0.0;
        ebur128_true_peak(s, static_cast<unsigned>(c), &p);
        highest = std::max(highest, p);
    }
    ebur128_destroy(&s);
    return db(highest);
}

double truePeakDb(const std::vector<float>& x, int channels, int rate, std::uint32_t block = 512)
{
    TruePeakMeter meter(static_cast<std::uint32_t>(channels), static_cast<std::uint32_t>(rate));
    const std::size_t frames = x.size() / channels;
    for (std::size_t at = 0; at < frames; at += block)
        meter.add(x.data() + at * channels, static_cast<std::uint32_t>(std::min<std::size_t>(block, frames - at)));
    return db(meter.peak());
}
} // namespace

TEST(TruePeakMeter, FindsThePeaksBetweenSamples)
{
    // A full-scale sine at a quarter of the rate, sampled 45 degrees off its crests: every
    // sample is at -3.01 dBFS, the waveform reaches 0 dBFS between them.
    const auto x = sine(12000.0, kPi / 4.0, 1.0, 48000, 4800);
    EXPECT_NEAR(db(std::fabs(x[100])), -3.01, 0.01);
    EXPECT_NEAR(truePeakDb(x, 1, 48000), 0.0, 0.1);
    // A low tone's samples already sit on its crests.
    EXPECT_NEAR(truePeakDb(sine(997.0, 0.3, 0.5, 48000, 48000), 1, 48000), db(0.5), 0.05);
    // A step from silence overshoots between samples (the Gibbs ripple of any band limit).
    EXPECT_GT(truePeakDb(std::vector<float>(1000, -0.25f), 1, 44100), db(0.25) + 0.5);
}

TEST(TruePeakMeter, FindsTheWaveformsCrestAtEveryRateAndBlockSize)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * kPi);
    for (int rate : {44100, 48000, 96000, 192000})
    {
        // Three partials up to a third of the rate: plenty of crests between samples.
        const double frequencies[3] = {0.11 * rate, 0.23 * rate, 0.31 * rate};
        const double phases[3] = {phase(random), phase(random), phase(random)};
        const int frames = rate / 4;
        std::vector<float> x(static_cast<std::size_t>(frames));
        double crest = 0.0; // the continuous waveform's, on a grid 32 times finer
        for (int i = 0; i < frames * 32; ++i)
        {
            double v = 0.0;
            for (int p = 0; p < 3; ++p)
                v += 0.3 * std::sin(2.0 * kPi * frequencies[p] * i / (32.0 * rate) + phases[p]);
            if (i % 32 == 0)
                x[static_cast<std::size_t>(i / 32)] = static_cast<float>(v);
            crest = std::max(crest, std::fabs(v));
        }
        float samplePeak = 0.f;
        for (float v : x)
            samplePeak = std::max(samplePeak, std::fabs(v));
        for (std::uint32_t block : {1u, 7u, 512u})
        {
            const double measured = truePeakDb(x, 1, rate, block);
            if (rate < 192000)
            {
                EXPECT_NEAR(measured, db(crest), 0.3) << rate << " Hz, blocks of " << block;
                // libebur128 oversamples only twice at 96 kHz, and so reads lower there.
                if (rate < 96000)
                {
                    EXPECT_NEAR(measured, referenceTruePeakDb(x, 1, rate), 0.3) << rate;
                }
            }
            else
            {
                EXPECT_EQ(measured, db(samplePeak)) << "no oversampling at " << rate << " Hz";
            }
        }
    }
}

// However the samples are handed in, one frame at a time, a few, or thousands (eight, four or
// one frame side by side, as the processor allows), every interpolated value is the same sum
// in tap order: the peak is the same float.
TEST(TruePeakMeter, SamePeakWhateverTheBlocks)
{
    std::mt19937 random(11);
    std::normal_distribution<float> noise(0.f, 1.f);
    for (const int channels : {1, 2, 3})
        for (int trial = 0; trial < 40; ++trial)
        {
            const float level = std::pow(10.f, -static_cast<float>(trial % 8) / 2.f);
            std::vector<float> x(static_cast<std::size_t>(4801 + trial * 13) * channels);
            for (float& v : x)
                v = level * noise(random);
            const std::uint32_t frames = static_cast<std::uint32_t>(x.size() / channels);
            auto peak = [&](std::uint32_t block) {
                TruePeakMeter meter(static_cast<std::uint32_t>(channels), 48000);
                for (std::uint32_t at = 0; at < frames; at += block)
                    meter.add(x.data() + static_cast<std::size_t>(at) * channels, std::min(block, frames - at));
                return meter.peak();
            };
            const float one = peak(1);
            for (const std::uint32_t block : {3u, 4u, 8u, 13u, 4096u, 100000u})
                ASSERT_EQ(peak(block), one) << channels << " channels, trial " << trial << ", blocks of " << block;
        }
}

TEST(TruePeakMeter, IgnoresNonFiniteSamples)
{
    auto x = sine(1000.0, 0.0, 0.5, 48000, 4800);
    x[1000] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_NEAR(truePeakDb(x, 1, 48000), db(0.5), 0.1);
}

TEST(LevelMeter, LoudnessPeaksAndClippedSamples)
{
    // A 0 dBFS 1 kHz sine on one channel reads -3.01 LUFS; on both channels of a stereo
    // file, +3.01 dB more: a -20 dBFS pair reads -20 LUFS.
    const auto x = sine(1000.0, 0.0, 0.1, 48000, 48000 * 3, 2);
    LevelMeter meter(2, 48000, LevelMeter::Measure::Everything);
    meter.add(x.data(), 48000 * 3);
    const Levels l = meter.levels();
    EXPECT_NEAR(l.loudnessLufs, -20.0 - 3.01 + 3.01, 0.1);
    EXPECT_NEAR(l.peakDbfs, -20.0, 0.01);
    EXPECT_NEAR(l.truePeakDbtp, -20.0, 0.05);
    EXPECT_EQ(l.clippedSamples, 0u);

    // Overs are counted, silence has no loudness.
    LevelMeter loud(1, 48000, LevelMeter::Measure::Everything);
    const std::vector<float> overs{0.5f, 1.5f, -1.25f, 1.0f, -1.0f};
    loud.add(overs.data(), 5);
    EXPECT_EQ(loud.levels().clippedSamples, 2u);
    EXPECT_NEAR(loud.levels().peakDbfs, db(1.5), 1e-6);
    // Overs anywhere in a long block of odd length (the last few samples too), both signs.
    std::vector<float> long_(10003, 0.25f);
    for (std::size_t i = 0; i < long_.size(); i += 7)
        long_[i] = i % 2 == 0 ? 1.0625f : -1.0f;
    long_[10002] = -1.75f;
    LevelMeter longMeter(1, 48000, LevelMeter::Measure::Everything);
    longMeter.add(long_.data(), static_cast<std::uint32_t>(long_.size()));
    EXPECT_EQ(longMeter.levels().clippedSamples, 10003u / 14 + 1 + 1);
    EXPECT_DOUBLE_EQ(longMeter.levels().peakDbfs, db(1.75f));
    LevelMeter silent(1, 48000, LevelMeter::Measure::Everything);
    const std::vector<float> zeros(48000, 0.f);
    silent.add(zeros.data(), 48000);
    EXPECT_TRUE(std::isinf(silent.levels().loudnessLufs));
    EXPECT_TRUE(std::isinf(silent.levels().truePeakDbtp));
}

// At 16 Hz libebur128 sets itself up and then writes past its buffers; below 16 Hz and
// above 2.8 MHz it cannot be set up at all. The meter takes the rates the tool serves.
TEST(LevelMeter, RatesTheToolDoesNotServeAreRefusedBeforeMeasuring)
{
    for (const std::uint32_t rate : {1u, 15u, 16u, 7999u, 384001u, 2822401u})
        EXPECT_THROW(LevelMeter(1, rate, LevelMeter::Measure::Everything), std::invalid_argument) << rate;
    EXPECT_THROW(LevelMeter(65, 48000, LevelMeter::Measure::Loudness), std::invalid_argument);
    for (const std::uint32_t rate : {8000u, 384000u})
    {
        LevelMeter meter(2, rate, LevelMeter::Measure::Everything);
        const auto x = sine(1000.0, 0.0, 0.1, static_cast<int>(rate), static_cast<int>(rate), 2);
        meter.add(x.data(), rate);
        EXPECT_NEAR(meter.levels().loudnessLufs, -20.0, 0.2) << rate;
    }
}

// One NaN must not make the whole loudness NaN, which reads as silence and switches loudness
// matching off.
TEST(LevelMeter, SamplesThatAreNotNumbersAreMeasuredAsSilenceAndCounted)
{
    auto x = sine(1000.0, 0.0, 0.1, 48000, 48000 * 3, 2);
    LevelMeter clean(2, 48000, LevelMeter::Measure::Everything);
    clean.add(x.data(), 48000 * 3);
    for (std::size_t i = 0; i < 100; ++i)
        x[1000 + i * 997] = i % 2 == 0 ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
    LevelMeter meter(2, 48000, LevelMeter::Measure::Everything);
    meter.add(x.data(), 48000 * 3);
    const Levels l = meter.levels();
    EXPECT_NEAR(l.loudnessLufs, clean.levels().loudnessLufs, 0.01);
    EXPECT_NEAR(l.peakDbfs, -20.0, 0.01);
    // The silenced samples are steps in the sine: the peaks between samples rise a little.
    EXPECT_GE(l.truePeakDbtp, -20.0);
    EXPECT_LT(l.truePeakDbtp, -15.0);
    EXPECT_EQ(l.nonFiniteSamples, 100u);
    EXPECT_EQ(clean.levels().nonFiniteSamples, 0u);
}
