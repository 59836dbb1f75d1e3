#include "cli/AudioFiles.h"

#include "cli/UsageError.h"

#include <algorithm>
#include <cctype>

namespace
{
std::string extensionOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

int majorFormatFor(const std::string& ext)
{
    if (ext == "wav" || ext == "wave")
        return SF_FORMAT_WAV;
    if (ext == "aif" || ext == "aiff")
        return SF_FORMAT_AIFF;
    if (ext == "oga")
        return SF_FORMAT_OGG;
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i)
    {
        SF_FORMAT_INFO info{};
        info.format = i;
        sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info);
        if (info.extension != nullptr && ext == info.extension)
            return info.format;
    }
    return 0;
}

bool formatWorks(int format, int channels, int sampleRate)
{
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = sampleRate;
    return sf_format_check(&info) != 0;
}
} // namespace

SampleFormat parseSampleFormat(const std::string& text)
{
    if (text == "float")
        return SampleFormat::Float;
    if (text == "pcm16")
        return SampleFormat::Pcm16;
    if (text == "pcm24")
        return SampleFormat::Pcm24;
    throw UsageError("--format takes float, pcm16 or pcm24, not \"" + text + "\"");
}

SndfileHandle openInput(const std::string& path)
{
    SndfileHandle file(path);
    if (file.rawHandle() == nullptr || file.error() != SF_ERR_NO_ERROR)
        throw IoError("cannot read \"" + path + "\": " + file.strError());
    if (file.channels() < 1 || file.samplerate() < 1)
        throw IoError("cannot read \"" + path + "\": no audio in it");
    return file;
}

int outputFormatFor(const std::string& path, SampleFormat sampleFormat, int channels, int sampleRate)
{
    const std::string ext = extensionOf(path);
    const int major = majorFormatFor(ext);
    if (major == 0)
        throw UsageError("cannot tell the audio format of \"" + path + "\" from its extension" +
                         (ext.empty() ? std::string() : " \"." + ext + "\""));

    int candidates[6] = {};
    int n = 0;
    switch (sampleFormat)
    {
    case SampleFormat::Float: candidates[n++] = SF_FORMAT_FLOAT; break;
    case SampleFormat::Pcm16: candidates[n++] = SF_FORMAT_PCM_16; break;
    case SampleFormat::Pcm24: candidates[n++] = SF_FORMAT_PCM_24; break;
    case SampleFormat::Automatic:
        for (int sub : {SF_FORMAT_FLOAT, SF_FORMAT_PCM_24, SF_FORMAT_PCM_16, SF_FORMAT_VORBIS, SF_FORMAT_OPUS,
                        SF_FORMAT_MPEG_LAYER_III})
            candidates[n++] = sub;
        break;
    }
    for (int i = 0; i < n; ++i)
        if (formatWorks(major | candidates[i], channels, sampleRate))
            return major | candidates[i];
    throw UsageError("\"." + ext + "\" files cannot hold this audio (" + std::to_string(channels) + " channels at " +
                     std::to_string(sampleRate) + " Hz" +
                     (sampleFormat == SampleFormat::Automatic ? std::string() : " in the requested sample format") + ")");
}

SndfileHandle openOutput(const std::string& path, int format, int channels, int sampleRate)
{
    SndfileHandle file(path, SFM_WRITE, format, channels, sampleRate);
    if (file.rawHandle() == nullptr || file.error() != SF_ERR_NO_ERROR)
        throw IoError("cannot write \"" + path + "\": " + file.strError());
    // Integer formats clip rather than wrap samples beyond full scale.
    file.command(SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return file;
}
