// The shipped presets do what their descriptions say, as a listener hears them (through the
// effect, the transmission and the space): a preset that promises hiss has hiss you can hear
// between words, a faint one stays faint; one that promises a call breaking up loses packets;
// and every preset keeps a -6 dBFS sweep and speech at -24 LUFS at or below -1 dBTP.
#include "cli/metering/PresetMeasurements.h"
#include "cli/settings/Presets.h"
#include "cli/signals/RecordedVoices.h"
#include "cli/signals/ReferenceSignals.h"
#include "tests/support/FactoryPresetNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kRate = 48000;
// Hiss heard between words at -23 LUFS: at least this loud (dBFS RMS) where it is promised,
// and a faint one no louder than the other figure.
constexpr double kAudibleHissDbfs = -62.0;
constexpr double kFaintHissDbfs = -50.0;

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool says(const FactoryPreset& preset, std::initializer_list<const char*> words)
{
    const std::string text = lowered(preset.description);
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return text.find(w) != std::string::npos; });
}

bool promisesHiss(const FactoryPreset& preset)
{
    return says(preset, {"hiss", "static"});
}

bool promisesBreakingUp(const FactoryPreset& preset)
{
    return says(preset, {"break up", "breaking up", "packets lost", "packet lost", "dropout", "dropped", "frames lost",
                         "cut out"});
}

// The 20 ms stretches of speech where what the lossy line made differs from the same line
// without loss by no less than 6 dB under the lossless line's own level: dropouts and what
// conceals them.
std::size_t damagedStretches(const std::vector<float>& lossy, const std::vector<float>& lossless)
{
    const std::size_t stretch = kRate / 50;
    std::size_t damaged = 0;
    for (std::size_t at = 0; at + stretch <= std::min(lossy.size(), lossless.size()); at += stretch)
    {
        double level = 0.0, difference = 0.0;
        for (std::size_t i = at; i < at + stretch; ++i)
        {
            level += static_cast<double>(lossless[i]) * lossless[i];
            difference += static_cast<double>(lossy[i] - lossless[i]) * (lossy[i] - lossless[i]);
        }
        // Only where the line speaks (above -50 dBFS RMS).
        if (level > stretch * 1e-5 && difference > level * 0.25)
            ++damaged;
    }
    return damaged;
}

const std::vector<RecordedVoice>& voices()
{
    static const std::vector<RecordedVoice> all = recordedVoices(kRate, kHeardSpeechLufs);
    return all;
}

class HeardPreset : public ::testing::TestWithParam<std::string>
{
};
} // namespace

TEST_P(HeardPreset, PeaksAtOrBelowMinusOneDbtpOnASweepAndOnSpeech)
{
    const pipeline::RunSettings run = heardRun(GetParam());
    const double most = VoicingTargets{}.sweepTruePeakDbtp;
    const HeardPeaks peaks = heardPeaks(run, kRate);
    EXPECT_LE(peaks.sweepDbtp, most) << "the -6 dBFS sweep";
    EXPECT_LE(peaks.speechDbtp, most) << "the speech-like voice at -24 LUFS";
    ASSERT_GE(voices().size(), 3u);
    for (const auto& voice : voices())
    {
        EXPECT_LE(truePeakDbtp(renderThroughEffect(run, voice.samples, kRate), kRate), most) << voice.name << " at -24 LUFS";
    }
}

TEST_P(HeardPreset, HissesBetweenWordsWhereItsDescriptionSaysSo)
{
    const FactoryPreset& preset = *findFactoryPreset(GetParam());
    if (!promisesHiss(preset))
        GTEST_SKIP() << "promises no hiss";
    // The device's hiss, out of the space, whose decay would fill the pauses.
    pipeline::RunSettings run = heardRun(preset.name);
    run.space = {};
    double pauses = 0.0;
    const double between = pauseLevelDbfs(run, kRate, 8.0, &pauses);
    ASSERT_GT(pauses, 1.0);
    EXPECT_GE(between, kAudibleHissDbfs) << preset.description;
    if (says(preset, {"faint", "soft hiss"}))
    {
        EXPECT_LE(between, kFaintHissDbfs) << preset.description;
    }
}

TEST_P(HeardPreset, BreaksUpWhereItsDescriptionSaysSo)
{
    const FactoryPreset& preset = *findFactoryPreset(GetParam());
    if (!promisesBreakingUp(preset))
        GTEST_SKIP() << "promises no breakup";
    pipeline::RunSettings lossy = heardRun(preset.name);
    lossy.space = {};
    pipeline::RunSettings lossless = lossy;
    lossless.transmission.loss = {};
    const std::vector<float> speech = ReferenceSignals::speechLike(kRate, 8.0);
    const std::size_t damaged =
        damagedStretches(renderThroughEffect(lossy, speech, kRate), renderThroughEffect(lossless, speech, kRate));
    EXPECT_TRUE(lossy.transmission.loss.active()) << preset.description;
    // A few percent of some 300 stretches of speech.
    EXPECT_GE(damaged, 3u) << preset.description;
}

INSTANTIATE_TEST_SUITE_P(Factory, HeardPreset, ::testing::ValuesIn(crumlet_test::factoryPresetNames()),
                         crumlet_test::presetTestName);

// What the tests above read the descriptions for: at least the presets that are known to
// promise hiss and breakup are held to it.
TEST(PresetPromises, AreReadFromTheDescriptions)
{
    for (const char* name : {"Phone call", "Bad mobile line", "Answering machine", "Intercom", "Walkie-talkie",
                             "Old television", "Old record", "Radio in a stairwell", "Pilot radio"})
        EXPECT_TRUE(promisesHiss(*findFactoryPreset(name))) << name;
    for (const char* name : {"Bad mobile line", "Mobile call, breaking up", "Video call", "Voice chat", "Digital radio"})
        EXPECT_TRUE(promisesBreakingUp(*findFactoryPreset(name))) << name;
    EXPECT_FALSE(promisesHiss(*findFactoryPreset("Video call")));
    EXPECT_FALSE(promisesBreakingUp(*findFactoryPreset("Phone call")));
}
