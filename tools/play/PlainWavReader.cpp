#include "tools/play/PlainWavReader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace
{
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xfffe;

std::uint32_t little(const std::string& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
    return v;
}

float sampleAt(const std::string& b, std::size_t at, std::uint16_t format, int bytes)
{
    if (format == kFormatFloat)
    {
        const std::uint32_t bits = little(b, at, 4);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // The value in the top bits of a 32-bit integer, then scaled as libsndfile scales it.
    const auto v = static_cast<std::int32_t>(little(b, at, bytes) << (32 - 8 * bytes));
    if (bytes == 4)
        return static_cast<float>(v) * (1.f / 2147483648.f);
    return static_cast<float>(v >> (32 - 8 * bytes)) / static_cast<float>(1u << (8 * bytes - 1));
}
} // namespace

PlainWav parsePlainWav(const std::string& b)
{
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
        throw WavReadError("not a RIFF WAVE file");
    PlainWav wav;
    std::uint16_t format = 0;
    int bytes = 0;
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= b.size())
    {
        const std::string id = b.substr(at, 4);
        const std::size_t size = little(b, at + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t held = std::min(size, b.size() - body);
        if (id == "fmt ")
        {
            if (held < 16)
                throw WavReadError("a fmt chunk of " + std::to_string(held) + " bytes");
            format = static_cast<std::uint16_t>(little(b, body, 2));
            wav.channels = little(b, body + 2, 2);
            wav.sampleRate = little(b, body + 4, 4);
            const std::uint32_t bits = little(b, body + 14, 2);
            if (format == kFormatExtensible && held >= 26)
                format = static_cast<std::uint16_t>(little(b, body + 24, 2)); // the sub-format GUID's first two bytes
            bytes = static_cast<int>(bits / 8);
            const bool integer = format == kFormatPcm && (bits == 16 || bits == 24 || bits == 32);
            const bool floats = format == kFormatFloat && bits == 32;
            if (!integer && !floats)
                throw WavReadError("samples of format " + std::to_string(format) + " with " + std::to_string(bits) +
                                   " bits (16-, 24- or 32-bit integers or 32-bit floats are read)");
            if (wav.channels == 0 || wav.sampleRate == 0)
                throw WavReadError("no channels or no sample rate");
            haveFormat = true;
        }
        else if (id == "data")
        {
            if (!haveFormat)
                throw WavReadError("samples before the fmt chunk");
            const std::size_t frame = static_cast<std::size_t>(bytes) * wav.channels;
            const std::size_t frames = held / frame;
            wav.samples.resize(frames * wav.channels);
            for (std::size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = sampleAt(b, body + i * bytes, format, bytes);
            return wav;
        }
        at = body + size + (size & 1);
    }
    throw WavReadError(haveFormat ? "no data chunk" : "no fmt chunk");
}

PlainWav readPlainWav(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw WavReadError("cannot open it");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parsePlainWav(bytes);
}
