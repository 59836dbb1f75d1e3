// Levels that hold for every line: a line shorter than one gating block is measured ungated
// and still brought to the target, silence is called silence only when it is, and the
// loudness range stands beside the integrated loudness.
#include "cli/metering/LevelMeter.h"
#include "cli/metering/LoudnessNotes.h"
#include "cli/metering/ShortLineLoudness.h"

#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;

std::vector<float> tone(double frequency, double amplitude, int rate, double seconds, int channels = 1)
{
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> x(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            x[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                static_cast<float>(amplitude * std::sin(2.0 * kPi * frequency * static_cast<double>(i) / rate));
    return x;
}

Levels measure(const std::vector<float>& x, int rate, int channels = 1)
{
    LevelMeter meter(static_cast<std::uint32_t>(channels), static_cast<std::uint32_t>(rate), LevelMeter::Measure::Everything);
    // In uneven blocks, as a render hands them over.
    const std::size_t frames = x.size() / static_cast<std::size_t>(channels);
    for (std::size_t at = 0; at < frames; at += 777)
        meter.add(x.data() + at * static_cast<std::size_t>(channels),
                  static_cast<std::uint32_t>(std::min<std::size_t>(777, frames - at)));
    return meter.levels();
}
} // namespace

TEST(ShortLineLoudness, KnownAnswersAgreeWithTheIntegratedMeasure)
{
    // A 1 kHz sine at amplitude 0.1: -23.0 LUFS (a full-scale one reads -3.01), at every rate.
    for (int rate : {44100, 48000, 96000})
    {
        const Levels shortOne = measure(tone(1000.0, 0.1, rate, 0.25), rate);
        const Levels longOne = measure(tone(1000.0, 0.1, rate, 3.0), rate);
        EXPECT_EQ(shortOne.loudnessBasis, LoudnessBasis::Ungated) << rate;
        EXPECT_EQ(longOne.loudnessBasis, LoudnessBasis::Integrated) << rate;
        EXPECT_NEAR(shortOne.loudnessLufs, longOne.loudnessLufs, 0.05) << rate;
        EXPECT_NEAR(shortOne.loudnessLufs, -23.0, 0.05) << rate;
    }
    // Two channels each count fully: 3 dB above one.
    EXPECT_NEAR(measure(tone(1000.0, 0.1, 48000, 0.2, 2), 48000, 2).loudnessLufs -
                    measure(tone(1000.0, 0.1, 48000, 0.2), 48000).loudnessLufs,
                3.01, 0.02);
    // K-weighting's shelf: a 4 kHz tone reads about 3.6 dB above a 1 kHz one of the same level.
    EXPECT_NEAR(measure(tone(4000.0, 0.1, 48000, 0.25), 48000).loudnessLufs -
                    measure(tone(1000.0, 0.1, 48000, 0.25), 48000).loudnessLufs,
                3.6, 0.4);
}

TEST(ShortLineLoudness, SilenceIsCalledSilentOnlyWhenItIs)
{
    EXPECT_EQ(measure(std::vector<float>(9600, 0.f), 48000).loudnessBasis, LoudnessBasis::Silent);
    EXPECT_EQ(measure(std::vector<float>(96000, 0.f), 48000).loudnessBasis, LoudnessBasis::Silent);
    // Sound under the -70 LUFS absolute gate, short or long: not silent, and no figure.
    for (double seconds : {0.2, 2.0})
    {
        const Levels hum = measure(tone(1000.0, 1e-5, 48000, seconds), 48000);
        EXPECT_EQ(hum.loudnessBasis, LoudnessBasis::BelowGate) << seconds;
        EXPECT_EQ(hum.loudnessLufs, -HUGE_VAL) << seconds;
    }
    ShortLineLoudness one(1, 48000);
    const float click = 0.5f;
    one.add(&click, 1);
    EXPECT_TRUE(one.heardSomething());
    EXPECT_TRUE(one.shorterThanGatingBlock());
    EXPECT_TRUE(std::isfinite(one.lufs()));
}

TEST(ShortLineLoudness, GainNotesSayHowTheLineWasMeasured)
{
    const Levels shortLine = measure(tone(1000.0, 0.3, 48000, 0.25), 48000);
    const Levels longLine = measure(tone(1000.0, 0.3, 48000, 2.0), 48000);
    const Levels silence = measure(std::vector<float>(9600, 0.f), 48000);
    std::string note;
    EXPECT_NEAR(gainToTarget(-23.0, shortLine, nullptr, note), -23.0 - shortLine.loudnessLufs, 1e-9);
    EXPECT_EQ(note, "the output is shorter than the 400 ms gating block: measured ungated (K-weighted mean square "
                    "over the whole line)");
    note.clear();
    EXPECT_NE(gainToTarget(-23.0, shortLine, &shortLine, note), 0.0);
    EXPECT_TRUE(has(note, "the input and output are shorter")) << note;
    note.clear();
    EXPECT_EQ(gainToTarget(-23.0, longLine, nullptr, note), -23.0 - longLine.loudnessLufs);
    EXPECT_EQ(note, "");
    EXPECT_EQ(gainToTarget(-23.0, silence, nullptr, note), 0.0);
    EXPECT_EQ(note, "the output is silent");
    EXPECT_STREQ(loudnessBasisName(LoudnessBasis::BelowGate), "below-gate");
}

TEST(LoudnessRange, StandsBesideTheIntegratedLoudness)
{
    // 6 s at one level, then 6 s 10 dB lower: short-term loudness spans about 10 LU.
    std::vector<float> x = tone(1000.0, 0.3, 48000, 6.0);
    const std::vector<float> quieter = tone(1000.0, 0.3 / std::sqrt(10.0), 48000, 6.0);
    x.insert(x.end(), quieter.begin(), quieter.end());
    EXPECT_NEAR(measure(x, 48000).loudnessRangeLu, 10.0, 1.0);
    // A steady tone has none; a line under 3 s has no short-term block to tell.
    EXPECT_NEAR(measure(tone(1000.0, 0.3, 48000, 6.0), 48000).loudnessRangeLu, 0.0, 0.1);
    EXPECT_TRUE(std::isnan(measure(tone(1000.0, 0.3, 48000, 2.0), 48000).loudnessRangeLu));
}

// A 0.25 s line at -4 dBFS peak, too short for the gated measure, is neither printed as
// "-inf LUFS ... (the output is silent)" nor left several LU louder than its neighbours.
TEST_F(RenderPipeline, AShortLineIsBroughtToTheTargetWithANote)
{
    const std::string shortLine = writeTone("short.wav", 7200, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000, 0.63f);
    const std::string longLine = writeTone("long.wav", 96000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000, 0.63f);
    for (const std::string& in : {shortLine, longLine})
    {
        const std::string out = in + ".out.wav";
        const ProcessResult r = runCrumlet({"render", "--in", in, "--out", out, "--preset", "Police radio",
                                            "--loudness", "-23", "--json"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const auto line = jsonLines(r.out).at(0);
        EXPECT_EQ(line["status"], "rendered");
        EXPECT_NEAR(line["loudnessLufs"].get<double>(), -23.0, 0.05) << r.out;
        EXPECT_NE(line["gainDb"].get<double>(), 0.0);
        EXPECT_FALSE(has(r.out, "silent")) << r.out;
        const Levels written = levelsOf(out);
        EXPECT_NEAR(written.loudnessLufs, -23.0, 0.05);
        if (in == shortLine)
        {
            EXPECT_EQ(line["loudnessBasis"], "ungated");
            EXPECT_TRUE(has(line["gainNote"].get<std::string>(), "shorter than the 400 ms gating block")) << r.out;
            EXPECT_TRUE(line["loudnessRangeLu"].is_null());
        }
        else
        {
            EXPECT_EQ(line["loudnessBasis"], "integrated");
            EXPECT_TRUE(line["gainNote"].is_null()) << r.out;
        }
    }
    // The person's line says it too, with the range beside the loudness.
    const ProcessResult r = runCrumlet({"render", "--in", shortLine, "--out", path("again.wav"), "--preset",
                                        "Police radio", "--loudness", "-23"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.err, "-23.0 LUFS (ungated), LRA n/a (under 3 s)")) << r.err;
}
