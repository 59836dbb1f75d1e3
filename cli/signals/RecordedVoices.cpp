#include "cli/signals/RecordedVoices.h"

#include "cli/metering/LevelMeter.h"
#include "cli/render/Resampling.h"

#include <sndfile.hh>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace
{
struct VoiceSource
{
    const char* name;
    const char* path;
    std::uint32_t rawRate; // 0: a sound file; else headerless 16-bit signed mono at this rate
};

// clang-format off
const VoiceSource kSources[] = {
    {"librivox-woman",  "/usr/share/pocketsphinx/test/data/librivox/sense_and_sensibility_01_austen_64kb-0870.wav", 0},
    {"cards-reader",    "/usr/share/pocketsphinx/test/data/cards/005.wav", 0},
    {"go-forward",      "/usr/share/pocketsphinx/test/data/goforward.raw", 16000},
    {"numbers",         "/usr/share/pocketsphinx/test/data/numbers.raw", 16000},
    {"something",       "/usr/share/pocketsphinx/test/data/something.raw", 16000},
    {"digits",          "/usr/share/pocketsphinx/test/data/tidigits/dhd.2934z.raw", 16000},
    {"front-center",    "/usr/share/sounds/alsa/Front_Center.wav", 0},
};
// clang-format on


// Resampled to `toRate` and scaled to the loudness; false when it has none.
bool bringTo(std::vector<float>& samples, std::uint32_t fromRate, std::uint32_t toRate, double loudnessLufs)
{
    samples = resampleMono(samples, fromRate, toRate);
    LevelMeter meter(1, toRate, LevelMeter::Measure::Loudness);
    meter.add(samples.data(), static_cast<std::uint32_t>(samples.size()));
    const double measured = meter.levels().loudnessLufs;
    if (!std::isfinite(measured))
        return false;
    const auto gain = static_cast<float>(std::pow(10.0, (loudnessLufs - measured) / 20.0));
    for (float& s : samples)
        s *= gain;
    return true;
}

std::vector<float> readMono(const VoiceSource& source, std::uint32_t& rate)
{
    if (source.rawRate != 0)
    {
        std::vector<float> out;
        std::FILE* f = std::fopen(source.path, "rb");
        if (f == nullptr)
            return out;
        unsigned char pair[2];
        while (std::fread(pair, 1, 2, f) == 2)
            out.push_back(static_cast<float>(static_cast<std::int16_t>(pair[0] | (pair[1] << 8))) / 32768.f);
        std::fclose(f);
        rate = source.rawRate;
        return out;
    }
    SndfileHandle file(source.path);
    if (file.rawHandle() == nullptr || file.frames() <= 0)
        return {};
    const auto channels = static_cast<std::size_t>(file.channels());
    std::vector<float> interleaved(static_cast<std::size_t>(file.frames()) * channels);
    file.readf(interleaved.data(), file.frames());
    std::vector<float> out(static_cast<std::size_t>(file.frames()));
    for (std::size_t i = 0; i < out.size(); ++i)
    {
        double sum = 0.0;
        for (std::size_t c = 0; c < channels; ++c)
            sum += interleaved[i * channels + c];
        out[i] = static_cast<float>(sum / static_cast<double>(channels));
    }
    rate = static_cast<std::uint32_t>(file.samplerate());
    return out;
}
} // namespace

std::vector<float> resampleMono(const std::vector<float>& input, std::uint32_t fromRate, std::uint32_t toRate)
{
    if (fromRate == toRate)
        return input;
    std::size_t at = 0;
    ResamplingReader reader(
        [&](float* into, std::uint32_t frames) {
            const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(frames, input.size() - at));
            std::copy(input.begin() + static_cast<long>(at), input.begin() + static_cast<long>(at + n), into);
            at += n;
            return n;
        },
        1, fromRate, toRate);
    std::vector<float> out(ResamplingReader::outputFrames(input.size(), fromRate, toRate));
    std::size_t done = 0;
    for (std::uint32_t n; done < out.size() &&
                          (n = reader.read(out.data() + done, static_cast<std::uint32_t>(std::min<std::size_t>(
                                                                  4096, out.size() - done)))) > 0;)
        done += n;
    out.resize(done);
    return out;
}

std::vector<std::string> recordedVoicePaths()
{
    std::vector<std::string> paths;
    for (const auto& s : kSources)
        paths.emplace_back(s.path);
    return paths;
}

std::vector<RecordedVoice> recordedVoices(std::uint32_t sampleRate, double loudnessLufs)
{
    std::vector<RecordedVoice> voices;
    for (const auto& source : kSources)
    {
        std::uint32_t rate = 0;
        std::vector<float> samples = readMono(source, rate);
        if (samples.empty() || !bringTo(samples, rate, sampleRate, loudnessLufs))
            continue;
        voices.push_back({source.name, source.path, std::move(samples)});
    }
    return voices;
}

std::vector<float> synthesisedVoice(std::uint32_t sampleRate, double loudnessLufs)
{
    char name[] = "/tmp/crumlet-voice-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        return {};
    close(fd);
    const std::string command = std::string("espeak-ng -v en -w ") + name +
                                " 'Dispatch, this is unit four. We have a situation on the north side of the "
                                "station. Requesting backup, over.' >/dev/null 2>&1";
    std::vector<float> samples;
    std::uint32_t rate = 0;
    if (std::system(command.c_str()) == 0)
        samples = readMono(VoiceSource{"espeak", name, 0}, rate);
    std::remove(name);
    if (samples.empty() || !bringTo(samples, rate, sampleRate, loudnessLufs))
        return {};
    return samples;
}
