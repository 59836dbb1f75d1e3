#include "cli/AudioFiles.h"

#include "cli/OutputFiles.h"
#include "cli/UsageError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <regex>

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
    if (ext == "ogg" || ext == "oga")
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

bool isFloatWav(int format)
{
    return (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV && (format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT;
}

void put16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, std::uint32_t v)
{
    put16(p, v & 0xffff);
    put16(p + 2, v >> 16);
}

// RIFF, an 18-byte fmt chunk (format 3, cbSize 0), fact and the data chunk's header.
constexpr std::size_t kFloatWavHeaderBytes = 12 + 26 + 12 + 8;

void floatWavHeader(unsigned char (&h)[kFloatWavHeaderBytes], std::uint32_t channels, std::uint32_t sampleRate,
                    std::uint64_t frames)
{
    const std::uint64_t dataBytes = frames * channels * 4;
    const auto data32 = static_cast<std::uint32_t>(std::min<std::uint64_t>(dataBytes, 0xffffffffu - 64));
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, static_cast<std::uint32_t>(kFloatWavHeaderBytes - 8 + data32));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 18);
    put16(h + 20, 3); // WAVE_FORMAT_IEEE_FLOAT
    put16(h + 22, channels);
    put32(h + 24, sampleRate);
    put32(h + 28, sampleRate * channels * 4);
    put16(h + 32, channels * 4);
    put16(h + 34, 32);
    put16(h + 36, 0); // cbSize
    std::memcpy(h + 38, "fact", 4);
    put32(h + 42, 4);
    put32(h + 46, static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, 0xffffffffu)));
    std::memcpy(h + 50, "data", 4);
    put32(h + 54, data32);
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
    if (text == "same")
        return SampleFormat::Same;
    throw UsageError("--format takes float, pcm16, pcm24 or same, not \"" + text + "\"");
}

SndfileHandle openInput(const std::string& path)
{
    SndfileHandle file(path);
    if (file.rawHandle() == nullptr || file.error() != SF_ERR_NO_ERROR)
    {
        // libsndfile says "System error." for a missing file: give the system's reason.
        const int error = errno;
        std::FILE* probe = std::fopen(path.c_str(), "rb");
        if (probe == nullptr)
            throw IoError("cannot read \"" + path + "\": " + systemReason(error != 0 ? error : errno));
        std::fclose(probe);
        throw IoError("cannot read \"" + path + "\": " + file.strError());
    }
    if (file.channels() < 1 || file.samplerate() < 1)
        throw IoError("cannot read \"" + path + "\": no audio in it");
    return file;
}

std::string truncationOf(SndfileHandle& file)
{
    // libsndfile trims a data chunk that runs past the end of the file to what is there,
    // and notes it in its log as "data : 192000 (should be 99956)".
    char log[4096] = {};
    file.command(SFC_GET_LOG_INFO, log, sizeof log);
    static const std::regex kShortChunk(R"((data|SSND)\s*:\s*(\d+)\s*\(should be (\d+)\))");
    std::cmatch m;
    if (std::regex_search(log, m, kShortChunk) && std::stoull(m[3].str()) < std::stoull(m[2].str()))
        return "its header promises " + m[2].str() + " bytes of audio, the file holds " + m[3].str() +
               " (truncated or damaged)";
    return {};
}

int outputFormatFor(const std::string& path, SampleFormat sampleFormat, int channels, int sampleRate,
                    int inputFormat)
{
    const std::string ext = extensionOf(path);
    const int major = majorFormatFor(ext);
    if (major == 0)
        throw UsageError("cannot tell the audio format of \"" + path + "\" from its extension" +
                         (ext.empty() ? std::string() : " \"." + ext + "\""));

    const int inputSub = inputFormat & SF_FORMAT_SUBMASK;
    int candidates[8] = {};
    int n = 0;
    switch (sampleFormat)
    {
    case SampleFormat::Float: candidates[n++] = SF_FORMAT_FLOAT; break;
    case SampleFormat::Pcm16: candidates[n++] = SF_FORMAT_PCM_16; break;
    case SampleFormat::Pcm24: candidates[n++] = SF_FORMAT_PCM_24; break;
    case SampleFormat::Same:
        if (inputSub == 0)
            throw UsageError("--format same needs an input file");
        candidates[n++] = inputSub;
        break;
    case SampleFormat::Automatic:
        // FLAC holds integers only: keep the input's depth there.
        if (major == SF_FORMAT_FLAC && (inputSub == SF_FORMAT_PCM_16 || inputSub == SF_FORMAT_PCM_S8 ||
                                        inputSub == SF_FORMAT_PCM_U8))
            candidates[n++] = inputSub == SF_FORMAT_PCM_16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_S8;
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

bool clipsAtFullScale(int format)
{
    switch (format & SF_FORMAT_SUBMASK)
    {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW: return true;
    default: return false;
    }
}

AudioWriter::AudioWriter(const std::string& path, const std::string& name, int format, int channels, int sampleRate)
    : m_channels(static_cast<std::uint32_t>(channels))
{
    if (isFloatWav(format))
    {
        m_floatWav = std::fopen(path.c_str(), "wb");
        unsigned char header[kFloatWavHeaderBytes];
        floatWavHeader(header, m_channels, static_cast<std::uint32_t>(sampleRate), 0);
        if (m_floatWav == nullptr || std::fwrite(header, sizeof header, 1, m_floatWav) != 1)
        {
            const int error = errno;
            if (m_floatWav != nullptr)
                std::fclose(m_floatWav);
            throw IoError("cannot write \"" + name + "\": " + systemReason(error));
        }
        return;
    }
    m_sndfile = SndfileHandle(path, SFM_WRITE, format, channels, sampleRate);
    if (m_sndfile.rawHandle() == nullptr || m_sndfile.error() != SF_ERR_NO_ERROR)
        throw IoError("cannot write \"" + name + "\": " + m_sndfile.strError());
    // Integer formats clip rather than wrap samples beyond full scale.
    m_sndfile.command(SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter()
{
    if (m_floatWav != nullptr)
        std::fclose(m_floatWav);
}

bool AudioWriter::write(const float* interleaved, std::uint32_t frames)
{
    if (!m_error.empty())
        return false;
    bool ok;
    if (m_floatWav != nullptr)
    {
        // Little-endian IEEE floats, as the machine holds them.
        static_assert(sizeof(float) == 4, "32-bit floats");
        ok = std::fwrite(interleaved, sizeof(float) * m_channels, frames, m_floatWav) == frames;
        if (!ok)
            m_error = systemReason(errno);
    }
    else
    {
        ok = m_sndfile.writef(interleaved, frames) == static_cast<sf_count_t>(frames);
        if (!ok)
            m_error = m_sndfile.strError();
    }
    m_frames += ok ? frames : 0;
    return ok;
}

std::string AudioWriter::close()
{
    if (m_floatWav != nullptr)
    {
        unsigned char header[kFloatWavHeaderBytes];
        floatWavHeader(header, m_channels, 0, m_frames);
        // The sample rate fields stay as written: rewrite only the sizes.
        const bool sized = std::fseek(m_floatWav, 4, SEEK_SET) == 0 && std::fwrite(header + 4, 4, 1, m_floatWav) == 1 &&
                           std::fseek(m_floatWav, 46, SEEK_SET) == 0 && std::fwrite(header + 46, 4, 1, m_floatWav) == 1 &&
                           std::fseek(m_floatWav, 54, SEEK_SET) == 0 && std::fwrite(header + 54, 4, 1, m_floatWav) == 1;
        if (!sized && m_error.empty())
            m_error = systemReason(errno);
        if (std::fclose(m_floatWav) != 0 && m_error.empty())
            m_error = systemReason(errno);
        m_floatWav = nullptr;
    }
    else if (m_sndfile)
    {
        if (m_error.empty() && m_sndfile.error() != SF_ERR_NO_ERROR)
            m_error = m_sndfile.strError();
        m_sndfile = SndfileHandle();
    }
    return m_error;
}
