// The shipped presets as voiced: band-limited where they are telephones or radios, loudness
// kept on speech, sweeps well clear of full scale; and the measuring they are judged by.
#include "cli/render/EffectHost.h"
#include "cli/settings/ParameterSettings.h"
#include "cli/metering/PresetMeasurements.h"
#include "cli/settings/Presets.h"
#include "cli/signals/ReferenceSignals.h"
#include "params/DeviceCategories.h"
#include "TransmissionVoicing.h"
#include "tests/support/FactoryPresetNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kRate = 48000;
constexpr double kPi = 3.141592653589793;

std::vector<float> sine(double frequency, double amplitude, std::uint32_t rate, double seconds)
{
    std::vector<float> out(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<float>(amplitude * std::sin(2.0 * kPi * frequency * static_cast<double>(i) / rate));
    return out;
}

double rmsDb(const std::vector<float>& signal)
{
    double energy = 0.0;
    for (float s : signal)
        energy += static_cast<double>(s) * s;
    return 10.0 * std::log10(energy / static_cast<double>(signal.size()));
}

ParameterSettings settingsOf(const std::string& preset)
{
    ParameterSettings settings(EffectHost::instance().description());
    applyPreset(settings, preset);
    return settings;
}

// Energy in one octave band [from, 2·from) of a signal, against its 300 Hz–3.4 kHz band.
double octaveAgainstSpeechBand(const std::vector<float>& signal, double from)
{
    BandLimit upTo{300.0, 3400.0, from};
    BandLimit above{300.0, 3400.0, 2.0 * from};
    return 10.0 * std::log10(std::pow(10.0, bandEnergyRatioDb(signal, kRate, upTo) / 10.0) -
                             std::pow(10.0, bandEnergyRatioDb(signal, kRate, above) / 10.0));
}
} // namespace

TEST(ReferenceSignals, PinkNoiseHasItsLevelAndEqualEnergyPerOctave)
{
    const std::vector<float> pink = ReferenceSignals::pinkNoise(kRate, 4.0, -20.0);
    ASSERT_EQ(pink.size(), 4u * kRate);
    EXPECT_NEAR(rmsDb(pink), -20.0, 0.01);
    const double o250 = octaveAgainstSpeechBand(pink, 250.0);
    for (double from : {500.0, 1000.0, 2000.0, 4000.0, 8000.0})
        EXPECT_NEAR(octaveAgainstSpeechBand(pink, from), o250, 1.0) << from << " Hz";
    EXPECT_EQ(ReferenceSignals::pinkNoise(kRate, 1.0), ReferenceSignals::pinkNoise(kRate, 1.0)); // deterministic
}

TEST(ReferenceSignals, SweepAndSpeechPeakWhereAsked)
{
    const std::vector<float> sweep = ReferenceSignals::sineSweep(kRate, 4.0, -6.0);
    // The meter's 4x interpolator reads a little over near the top of the band.
    EXPECT_NEAR(truePeakDbtp(sweep, kRate), -6.0, 0.15);
    // A logarithmic sweep spends equal time per octave: the 1-2 kHz octave holds as much as 4-8 kHz.
    EXPECT_NEAR(octaveAgainstSpeechBand(sweep, 1000.0), octaveAgainstSpeechBand(sweep, 4000.0), 0.5);

    const std::vector<float> speech = ReferenceSignals::speechLike(kRate, 4.0, -3.0);
    const float peak = std::fabs(*std::max_element(speech.begin(), speech.end(),
                                                    [](float a, float b) { return std::fabs(a) < std::fabs(b); }));
    EXPECT_NEAR(20.0 * std::log10(peak), -3.0, 1e-3);
    // At that peak it sits where dialogue is usually mixed, about -23 LUFS.
    EXPECT_NEAR(loudnessLufs(speech, kRate), -23.0, 1.0);
    // Speech has pauses: some 50 ms stretches are silent, most are not.
    const std::size_t window = kRate / 20;
    std::size_t silent = 0, windows = 0;
    for (std::size_t start = 0; start + window <= speech.size(); start += window, ++windows)
    {
        const std::vector<float> part(speech.begin() + static_cast<long>(start), speech.begin() + static_cast<long>(start + window));
        silent += rmsDb(part) < -60.0 ? 1 : 0;
    }
    EXPECT_GT(silent, windows / 10);
    EXPECT_LT(silent, windows / 2);
    // Its energy lies mostly in the voice band.
    EXPECT_LT(bandEnergyRatioDb(speech, kRate, BandLimit{}), -10.0);
}

TEST(PresetMeasurements, BandEnergyRatioKnownAnswers)
{
    // A 6 kHz tone 20 dB under a 1 kHz one.
    std::vector<float> two = sine(1000.0, 0.5, kRate, 2.0);
    const std::vector<float> high = sine(6000.0, 0.05, kRate, 2.0);
    for (std::size_t i = 0; i < two.size(); ++i)
        two[i] += high[i];
    EXPECT_NEAR(bandEnergyRatioDb(two, kRate, BandLimit{}), -20.0, 0.2);

    // White noise: energy in proportion to bandwidth, 20 kHz above 4 kHz against 3.1 kHz.
    std::vector<float> white(2 * kRate);
    std::uint32_t state = 1;
    for (float& s : white)
        s = static_cast<float>((state = state * 1664525u + 1013904223u) / 4294967296.0 - 0.5);
    EXPECT_NEAR(bandEnergyRatioDb(white, kRate, BandLimit{}), 10.0 * std::log10(20000.0 / 3100.0), 0.3);

    // Nothing above the edge: no more than the window's leakage; silence: 0.
    EXPECT_LT(bandEnergyRatioDb(sine(1000.0, 0.5, kRate, 1.0), kRate, BandLimit{300.0, 3400.0, 20000.0}), -120.0);
    EXPECT_EQ(bandEnergyRatioDb(std::vector<float>(kRate, 0.f), kRate, BandLimit{}), 0.0);
}

TEST(PresetMeasurements, RenderingWithEveryStageOffReturnsTheInput)
{
    ParameterSettings settings(EffectHost::instance().description());
    for (const char* stage : {"FiltersEnable", "DistortionEnable", "EQEnable", "NoiseEnable", "SIMEnable", "GateEnable",
                              "LoFiEnable"})
        settings.set(stage, "off");
    settings.set("OutputGain", "-6");
    const std::vector<float> in = ReferenceSignals::speechLike(kRate, 1.0);
    const std::vector<float> out = renderThroughEffect(EffectHost::instance().bankBlock(settings), in, kRate, 300);
    ASSERT_EQ(out.size(), in.size());
    for (std::size_t i = 0; i < in.size(); i += 97)
        ASSERT_NEAR(out[i], in[i] * 0.501187f, 1e-6f) << i;
    EXPECT_NEAR(loudnessLufs(out, kRate) - loudnessLufs(in, kRate), -6.0, 0.01);
    EXPECT_EQ(loudnessLufs(std::vector<float>(kRate, 0.f), kRate), -HUGE_VAL);
}

// A preset is measured as it is heard: in its space, the space's decay following the line, and
// without it when its space is taken away.
TEST(PresetMeasurements, HearAPresetInItsSpace)
{
    const pipeline::RunSettings run = presetRun("PA system");
    ASSERT_TRUE(run.space.active());
    EXPECT_EQ(run.space.source, "station");
    pipeline::RunSettings dry = run;
    dry.space = {};
    const std::vector<float> in = ReferenceSignals::speechLike(kRate, 1.0);
    const std::vector<float> heard = renderThroughEffect(run, in, kRate);
    const std::vector<float> alone = renderThroughEffect(dry, in, kRate);
    EXPECT_EQ(alone, renderThroughEffect(EffectHost::instance().bankBlock(settingsOf("PA system")), in, kRate));
    // The concourse rings on for seconds after the effect's own tail.
    EXPECT_GT(heard.size(), alone.size() + kRate);
    const std::vector<float> ringing(heard.begin() + static_cast<long>(alone.size()), heard.end());
    EXPECT_GT(rmsDb(ringing), -90.0);
    EXPECT_NE(loudnessLufs(heard, kRate), loudnessLufs(alone, kRate));
}

TEST(ShippedPresets, TwelveOrMoreEachWithAOneLineDescription)
{
    EXPECT_GE(factoryPresets().size(), 12u);
    for (const auto& preset : factoryPresets())
    {
        EXPECT_FALSE(preset.description.empty()) << preset.name;
        EXPECT_EQ(preset.description.find('\n'), std::string::npos) << preset.name;
    }
}

// Devices are heard where they are: a shipped preset's space is a generated one (no file
// travels with the tool), and those that place their device name one.
TEST(ShippedPresets, HeardInGeneratedSpaces)
{
    std::size_t inSpaces = 0;
    for (const auto& preset : factoryPresets())
    {
        if (!preset.space.active())
            continue;
        ++inSpaces;
        EXPECT_TRUE(preset.space.generated()) << preset.name << ": " << preset.space.source;
    }
    EXPECT_GE(inSpaces, 5u);
    for (const char* name : {"PA system", "Television next door", "Intercom", "Phone on speaker in a car",
                             "Radio in a stairwell"})
    {
        const FactoryPreset* preset = findFactoryPreset(name);
        ASSERT_NE(preset, nullptr) << name;
        EXPECT_TRUE(preset->space.active()) << name;
    }
}

// Which presets must be band-limited is not left to the list alone: a preset played through a
// telephone or a mobile is a telephone, one through a wireless set a telephone or a radio, and
// both kinds are shipped more than once.
TEST(ShippedPresets, TelephonesAndRadiosAreMeasuredAsSuch)
{
    std::size_t telephones = 0, radios = 0;
    for (const auto& preset : factoryPresets())
    {
        const BandLimitKind kind = bandLimitKindOf(preset.name);
        telephones += kind == BandLimitKind::Telephone ? 1 : 0;
        radios += kind == BandLimitKind::Radio ? 1 : 0;
        const int category = deviceCategoryOf(static_cast<int>(settingsOf(preset.name).value("SIMType")));
        ASSERT_GE(category, 0) << preset.name;
        const std::string heading = g_deviceCategories[category].heading;
        if (heading == "Telephones" || heading == "Cell Phones")
        {
            EXPECT_EQ(kind, BandLimitKind::Telephone) << preset.name;
        }
        if (heading == "Wireless")
        {
            EXPECT_NE(kind, BandLimitKind::None) << preset.name;
        }
    }
    EXPECT_GE(telephones, 3u);
    EXPECT_GE(radios, 3u);
    EXPECT_EQ(bandLimitKindOf("Phone call"), BandLimitKind::Telephone);
    EXPECT_EQ(bandLimitKindOf("Police radio"), BandLimitKind::Radio);
}

class ShippedPreset : public ::testing::TestWithParam<std::string>
{
};

TEST_P(ShippedPreset, MeetsItsVoicingTargets)
{
    if (voicedWithItsTransmission(GetParam()))
        GTEST_SKIP() << "voiced with its transmission on recorded speech (TransmissionPresetVoicingTest)";
    const VoicingTargets targets;
    const pipeline::RunSettings run = presetRun(GetParam()); // in its space, when it names one
    const BandLimitKind kind = bandLimitKindOf(GetParam());
    const PresetFigures figures = measurePreset(run, kind, kRate, 4.0);

    // Loudness is voiced on recorded voices (PresetVoicesTest): the speech-like signal's level
    // through the drive stages differs from a voice's by up to 8 LU.
    EXPECT_LT(figures.sweep.truePeakDbtp, targets.sweepTruePeakDbtp);
    EXPECT_LT(figures.speech.truePeakDbtp, targets.sweepTruePeakDbtp);
    if (kind == BandLimitKind::None)
        return;
    EXPECT_LE(figures.bandLimitDb, targets.bandLimitDb);
    // The band-limit holds at 44.1 kHz too, where a reduced rate falls elsewhere.
    EXPECT_LE(bandLimitDb(run, kind, 44100), targets.bandLimitDb);
}

INSTANTIATE_TEST_SUITE_P(Factory, ShippedPreset, ::testing::ValuesIn(crumlet_test::factoryPresetNames()),
                         crumlet_test::presetTestName);
