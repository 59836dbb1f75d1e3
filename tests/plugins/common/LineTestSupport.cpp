#include "tests/plugins/common/LineTestSupport.h"

#include "space/SpaceCatalogue.h"
#include "tests/transmission/SpeechSamples.h"
#include "transmission/Transmission.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace line_test
{
using namespace plugins;
using transmission::testing::Speech;

LineValues valuesFor(const std::string& codecText)
{
    const auto codec = transmission::parseCodec(codecText);
    LineValues v = defaultLineValues();
    const auto& catalogue = transmission::codecCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        if (catalogue[i].kind == codec.kind)
            v[kLineCodec] = static_cast<float>(i + 1);
    auto rateIndex = [&](std::size_t parameter) {
        const auto& rates = transmission::codecEntry(codec.kind).bitRates;
        v[parameter] = static_cast<float>(std::find(rates.begin(), rates.end(), codec.bitRate) - rates.begin());
    };
    using transmission::CodecKind;
    if (codec.kind == CodecKind::AmrNb)
        rateIndex(kLineAmrRate);
    if (codec.kind == CodecKind::AmrWb)
        rateIndex(kLineAmrWbRate);
    if (codec.kind == CodecKind::Codec2)
        rateIndex(kLineCodec2Rate);
    if (codec.kind == CodecKind::G726)
        rateIndex(kLineG726Rate);
    if (codec.kind == CodecKind::Opus)
        v[kLineOpusRate] = static_cast<float>(codec.bitRate) / 1000.f;
    return v;
}

std::vector<std::vector<float>> stereoSpeech(double rate, double seconds)
{
    Speech speech = transmission::testing::readSpeech(transmission::testing::speechPath());
    speech.samples.resize(std::min<std::size_t>(speech.samples.size(), static_cast<std::size_t>(seconds * 16000)));
    const Speech atRate = transmission::testing::resampled(speech, rate);
    std::vector<float> right(atRate.samples);
    for (float& x : right)
        x *= 0.5f;
    return {atRate.samples, right};
}

std::vector<std::vector<float>> runEngine(LineEngine& engine, std::vector<std::vector<float>> x, std::size_t block)
{
    std::vector<float*> pointers(x.size());
    for (std::size_t at = 0; at < x[0].size(); at += block)
    {
        for (std::size_t c = 0; c < x.size(); ++c)
            pointers[c] = x[c].data() + at;
        engine.process(pointers.data(), std::min(block, x[0].size() - at));
    }
    return x;
}

std::vector<std::vector<float>> renderOffline(const LineSetup& setup, double rate, const std::vector<std::vector<float>>& x,
                                              std::size_t warmUp)
{
    const std::size_t frames = x[0].size(), channels = x.size();
    std::vector<float> interleaved((warmUp + frames) * channels, 0.f), out;
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels; ++c)
            interleaved[(warmUp + i) * channels + c] = x[c][i];
    transmission::Transmission line(setup.settings, rate, static_cast<unsigned>(channels), setup.seed);
    line.process(interleaved.data(), warmUp + frames, out);
    line.finish(out);
    std::vector<std::vector<float>> y(channels, std::vector<float>(frames));
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels; ++c)
            y[c][i] = out[(warmUp + i) * channels + c];
    return y;
}

bool available(const std::string& codecText)
{
    try
    {
        transmission::parseCodec(codecText);
        return true;
    }
    catch (const transmission::SettingsError&)
    {
        return false;
    }
}
float spaceValue(const std::string& room)
{
    const auto& catalogue = space::spaceCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        if (room == catalogue[i].name)
            return static_cast<float>(i + 1);
    ADD_FAILURE() << "no space " << room;
    return 0.f;
}

} // namespace line_test
