// The shipped presets that carry a transmission, voiced with it on recorded voices: through the
// effect, the codec, loss and radio and the space the preset names, dialogue keeps its loudness as the other presets'
// does on the same voices (the median within 1 LU, each voice within 2 LU, the close bass-heavy
// announcement within 5.5), clear of full scale, and band-limited as telephones and radios are.
#include "cli/metering/PresetMeasurements.h"
#include "cli/render/EffectHost.h"
#include "cli/settings/Presets.h"
#include "cli/signals/RecordedVoices.h"
#include "transmission/TransmissionSettings.h"
#include "TransmissionVoicing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace
{
constexpr std::uint32_t kRate = 48000;
constexpr double kInputLufs = -24.0;
// The close announcement voice loses more to a telephone or radio band than the others (see
// PresetVoicesTest).
constexpr const char* kBassHeavyVoice = "front-center";
constexpr double kBassHeavyToleranceLu = 5.5;
// How far the radios' transmission (a vocoder, static) may move the loudness of what their
// effect made, either way: a vocoder keeps less of a low male voice than of a woman's.
constexpr double kTransmissionToleranceLu = 3.0;
// Codecs rebuild the waveform (a vocoder synthesises its own pulses), so the transmitted
// speech peaks a couple of dB higher against its loudness than the effect's output: it stays
// below full scale, where a fixed-point file would clip.
constexpr double kTransmittedTruePeakDbtp = 0.0;

const std::vector<RecordedVoice>& voices()
{
    static const std::vector<RecordedVoice> all = recordedVoices(kRate, kInputLufs);
    return all;
}

class TransmissionPreset : public ::testing::TestWithParam<std::string>
{
};

TEST_P(TransmissionPreset, IsVoicedOnRecordedVoices)
{
    const FactoryPreset& preset = *findFactoryPreset(GetParam());
    // The effect in the preset's space, and the same with the transmission between them.
    const pipeline::RunSettings effectRun = presetRun(preset.name);
    pipeline::RunSettings transmittedRun = effectRun;
    transmittedRun.transmission = preset.transmission;
    transmittedRun.seed = 1;
    const VoicingTargets targets;
    const BandLimitKind kind = bandLimitKindOf(preset.name);
    // The others' effect settings are voiced on their own (the two radios'); here their
    // transmission is held to its own share.
    const bool voicedElsewhere = !voicedWithItsTransmission(preset.name);
    ASSERT_GE(voices().size(), 3u);
    std::vector<double> changes;
    for (const auto& voice : voices())
    {
        const std::vector<float> effect = renderThroughEffect(effectRun, voice.samples, kRate);
        const std::vector<float> out = renderThroughEffect(transmittedRun, voice.samples, kRate);
        const double change = loudnessLufs(out, kRate) - kInputLufs;
        const double transmissionChange = loudnessLufs(out, kRate) - loudnessLufs(effect, kRate);
        const double peak = truePeakDbtp(out, kRate);
        const double band = bandEnergyRatioDb(out, kRate, bandLimitOf(kind));
        std::printf("%-26s %-16s %+5.1f LU (transmission %+5.1f)  %5.1f dBTP  band %6.1f dB\n", preset.name.c_str(),
                    voice.name.c_str(), change, transmissionChange, peak, band);
        changes.push_back(change);
        if (kind != BandLimitKind::None)
        {
            EXPECT_LE(band, targets.bandLimitDb) << voice.name;
        }
        if (voicedElsewhere)
        {
            EXPECT_LE(std::fabs(transmissionChange), kTransmissionToleranceLu) << voice.name;
            continue;
        }
        const double tolerance = voice.name == kBassHeavyVoice ? kBassHeavyToleranceLu : targets.loudnessToleranceLu;
        EXPECT_LE(std::fabs(change), tolerance) << voice.name;
        EXPECT_LT(peak, kTransmittedTruePeakDbtp) << voice.name;
    }
    std::nth_element(changes.begin(), changes.begin() + static_cast<long>(changes.size() / 2), changes.end());
    if (!voicedElsewhere)
    {
        EXPECT_LE(std::fabs(changes[changes.size() / 2]), targets.loudnessToleranceLu / 2.0);
    }
}

std::vector<std::string> presetsWithTransmission()
{
    std::vector<std::string> names;
    for (const auto& preset : factoryPresets())
        if (preset.transmission.active())
            names.push_back(preset.name);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Factory, TransmissionPreset, ::testing::ValuesIn(presetsWithTransmission()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

TEST(TransmissionPresets, TheRadiosDifferOneAnalogueOneDigitalAndTheNewOnesAreShipped)
{
    for (const char* name : {"Mobile call (2G)", "Mobile call, breaking up", "Video call", "Voice chat", "Digital radio"})
        ASSERT_NE(findFactoryPreset(name), nullptr) << name;
    for (const auto& preset : factoryPresets())
    {
        if (voicedWithItsTransmission(preset.name))
        {
            EXPECT_TRUE(preset.transmission.active()) << preset.name;
        }
    }
    const auto& police = findFactoryPreset("Police radio")->transmission;
    const auto& walkie = findFactoryPreset("Walkie-talkie")->transmission;
    // The walkie-talkie is analogue: no codec, static under the voice and a squelch tail.
    EXPECT_EQ(walkie.codec.kind, transmission::CodecKind::None);
    EXPECT_TRUE(walkie.radio.enabled && std::isfinite(walkie.radio.staticDb) && walkie.radio.squelchMs > 0);
    // The police radio is digital: a vocoder, and silence between overs.
    EXPECT_NE(police.codec.kind, transmission::CodecKind::None);
    EXPECT_TRUE(police.radio.enabled && std::isinf(police.radio.staticDb) && police.radio.squelchMs == 0);
}

} // namespace
