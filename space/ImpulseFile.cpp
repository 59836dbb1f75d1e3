#include "space/ImpulseFile.h"

#include "space/SpaceCatalogue.h"
#include "space/SpaceError.h"
#include "transmission/QuotedText.h"
#include "transmission/StreamResampler.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace space
{
namespace
{
struct SndfileCloser
{
    void operator()(SNDFILE* file) const { sf_close(file); }
};

// A path as a message quotes it: whole up to 64 bytes, else its last 64 bytes (the file's own
// name), cut at a character's boundary.
std::string quotedPath(const std::string& path)
{
    constexpr std::size_t kMostBytes = 64;
    if (path.size() <= kMostBytes)
        return transmission::quoted(path);
    std::size_t cut = path.size() - kMostBytes;
    while (cut < path.size() && (static_cast<unsigned char>(path[cut]) & 0xC0) == 0x80)
        ++cut;
    return "\"..." + path.substr(cut) + "\" (" + std::to_string(path.size()) + " bytes)";
}

SpaceError fileError(const std::string& path, const std::string& what)
{
    return SpaceError("the impulse response file " + quotedPath(path) + " " + what);
}

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

// The file's channels, one vector each.
std::vector<std::vector<float>> readChannels(const std::string& path, double& fileRate)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw SpaceError("no space or file " + quotedPath(path) + "; spaces: " + spaceNamesText());
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (file == nullptr)
        throw fileError(path, std::string("cannot be read: ") + sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > 2)
        throw fileError(path, "has " + std::to_string(info.channels) + " channels; an impulse response has one or two");
    if (info.frames <= 0)
        throw fileError(path, "is empty");
    if (info.samplerate <= 0)
        throw fileError(path, "has no sample rate");
    fileRate = info.samplerate;
    if (static_cast<double>(info.frames) / fileRate > kLongestImpulseSeconds)
        throw fileError(path, "is " + seconds(static_cast<double>(info.frames) / fileRate) + " long; an impulse response may last " +
                                  seconds(kLongestImpulseSeconds));

    const auto frames = static_cast<std::size_t>(info.frames);
    const auto channels = static_cast<std::size_t>(info.channels);
    std::vector<float> interleaved(frames * channels);
    const sf_count_t read = sf_readf_float(file.get(), interleaved.data(), info.frames);
    if (read != info.frames)
        throw fileError(path, std::string("cannot be read to its end: ") + sf_strerror(file.get()));
    std::vector<std::vector<float>> split(channels, std::vector<float>(frames));
    bool sound = false;
    for (std::size_t n = 0; n < frames; ++n)
        for (std::size_t c = 0; c < channels; ++c)
        {
            const float x = interleaved[n * channels + c];
            if (!std::isfinite(x))
                throw fileError(path, "holds a sample that is not a finite number (frame " + std::to_string(n) + ")");
            sound = sound || x != 0.f;
            split[c][n] = x;
        }
    if (!sound)
        throw fileError(path, "holds only silence");
    return split;
}
} // namespace

ImpulseResponse loadImpulseFile(const std::string& path, double sampleRate, bool normalize)
{
    double fileRate = 0.0;
    auto channels = readChannels(path, fileRate);
    ImpulseResponse ir;
    ir.sampleRate = sampleRate;
    for (auto& channel : channels)
    {
        if (fileRate == sampleRate)
        {
            ir.channels.push_back(std::move(channel));
            continue;
        }
        transmission::StreamResampler resampler(fileRate, sampleRate);
        std::vector<float> resampled;
        resampler.process(channel.data(), channel.size(), resampled);
        resampler.finish(resampled);
        ir.channels.push_back(std::move(resampled));
    }
    std::size_t frames = 0;
    for (const auto& channel : ir.channels)
        frames = std::max(frames, channel.size());
    double energy = 0.0;
    for (auto& channel : ir.channels)
    {
        channel.resize(frames, 0.f);
        for (float x : channel)
            energy += static_cast<double>(x) * x;
    }
    if (!(energy > 0.0) || !std::isfinite(energy))
        throw fileError(path, "holds only silence at " + std::to_string(static_cast<long>(sampleRate)) + " Hz");
    if (normalize)
    {
        const auto scale = static_cast<float>(1.0 / std::sqrt(energy / static_cast<double>(ir.channels.size())));
        for (auto& channel : ir.channels)
            for (float& x : channel)
                x *= scale;
    }
    return ir;
}

} // namespace space
