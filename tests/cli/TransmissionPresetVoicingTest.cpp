// The shipped presets that carry a transmission, voiced on real recorded speech: several
// speakers through the effect and then the codec, loss and radio, each within 2 LU of its
// input's loudness, clear of full scale, and band-limited as telephones and radios are.
#include "cli/metering/PresetMeasurements.h"
#include "cli/render/EffectHost.h"
#include "cli/settings/Presets.h"
#include "transmission/StreamResampler.h"
#include "transmission/Transmission.h"
#include "TransmissionVoicing.h"

#include <gtest/gtest.h>
#include <sndfile.hh>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace
{
constexpr std::uint32_t kRate = 48000;
// How far the radios' transmission (a vocoder, static) may move the loudness of what their
// effect made, either way: a vocoder keeps less of a low male voice than of a woman's.
constexpr double kTransmissionToleranceLu = 3.0;
// Codecs rebuild the waveform (a vocoder synthesises its own pulses), so the transmitted
// speech peaks a couple of dB higher against its loudness than the effect's output: it stays
// below full scale, where a fixed-point file would clip.
constexpr double kTransmittedTruePeakDbtp = 0.0;

// Recorded speech: a woman reading (two passages), a man speaking (the ALSA test voice) and
// short spoken phrases from the recognizer's tests, each at 48 kHz and brought to -23 LUFS,
// where dialogue is mixed, or lower where its peaks would pass -3 dBFS (as the reference
// speech peaks).
std::vector<std::pair<std::string, std::vector<float>>> recordedSpeech()
{
    const std::string data = "/usr/share/pocketsphinx/test/data/";
    const std::vector<std::string> files = {
        data + "librivox/sense_and_sensibility_01_austen_64kb-0870.wav",
        data + "librivox/sense_and_sensibility_01_austen_64kb-0920.wav",
        "/usr/share/sounds/alsa/Front_Center.wav",
        data + "cards/001.wav",
    };
    std::vector<std::pair<std::string, std::vector<float>>> speech;
    for (const auto& file : files)
    {
        SndfileHandle in(file);
        if (in.frames() <= 0)
            continue;
        std::vector<float> all(static_cast<std::size_t>(in.frames() * in.channels()));
        in.readf(all.data(), in.frames());
        std::vector<float> mono;
        for (std::size_t i = 0; i < all.size(); i += static_cast<std::size_t>(in.channels()))
            mono.push_back(all[i]);
        std::vector<float> at48;
        transmission::StreamResampler resampler(in.samplerate(), kRate);
        resampler.process(mono.data(), mono.size(), at48);
        resampler.finish(at48);
        float peak = 0.f;
        for (float x : at48)
            peak = std::max(peak, std::fabs(x));
        const double gainDb = std::min(-23.0 - loudnessLufs(at48, kRate), -3.0 - 20.0 * std::log10(peak));
        const auto gain = static_cast<float>(std::pow(10.0, gainDb / 20.0));
        for (float& x : at48)
            x *= gain;
        speech.emplace_back(file.substr(file.rfind('/') + 1), std::move(at48));
    }
    return speech;
}

std::vector<float> transmit(const transmission::TransmissionSettings& settings, const std::vector<float>& in)
{
    transmission::Transmission line(settings, kRate, 1, 1);
    std::vector<float> out;
    line.process(in.data(), in.size(), out);
    line.finish(out);
    return out;
}

class TransmissionPreset : public ::testing::TestWithParam<std::string>
{
};

TEST_P(TransmissionPreset, IsVoicedOnRecordedSpeech)
{
    const FactoryPreset& preset = *findFactoryPreset(GetParam());
    ParameterSettings settings(EffectHost::instance().description());
    applyPreset(settings, preset.name);
    const auto block = EffectHost::instance().bankBlock(settings);
    const VoicingTargets targets;
    const BandLimitKind kind = bandLimitKindOf(preset.name);
    const auto speech = recordedSpeech();
    // The others' effect settings are voiced on the reference signals (the two radios'); here
    // their transmission is held to its own share.
    const bool voicedElsewhere = !voicedWithItsTransmission(preset.name);
    ASSERT_GE(speech.size(), 3u);
    for (const auto& [name, input] : speech)
    {
        const std::vector<float> effect = renderThroughEffect(block, input, kRate);
        const std::vector<float> out = transmit(preset.transmission, effect);
        const double change = loudnessLufs(out, kRate) - loudnessLufs(input, kRate);
        const double transmissionChange = loudnessLufs(out, kRate) - loudnessLufs(effect, kRate);
        const double peak = truePeakDbtp(out, kRate);
        const double band = bandEnergyRatioDb(out, kRate, bandLimitOf(kind));
        std::printf("%-26s %-48s %+5.1f LU (transmission %+5.1f)  %5.1f dBTP  band %6.1f dB\n", preset.name.c_str(),
                    name.c_str(), change, transmissionChange, peak, band);
        if (voicedElsewhere)
        {
            EXPECT_LE(std::fabs(transmissionChange), kTransmissionToleranceLu) << name;
        }
        else
        {
            EXPECT_LE(std::fabs(change), targets.loudnessToleranceLu) << name;
            EXPECT_LT(peak, kTransmittedTruePeakDbtp) << name;
        }
        if (kind != BandLimitKind::None)
        {
            EXPECT_LE(band, targets.bandLimitDb) << name;
        }
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
        if (voicedWithItsTransmission(preset.name))
            EXPECT_TRUE(preset.transmission.active()) << preset.name;
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
