#include "cli/io/AudioFiles.h"
#include "cli/io/QuotedText.h"

#include "cli/io/BextChunk.h"
#include "cli/io/Dither.h"
#include "cli/io/FloatWavWriter.h"
#include "cli/io/LittleEndianPcm.h"
#include "cli/io/OutputFiles.h"
#include "cli/io/PackedPcmOutput.h"
#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

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

// Bytes a sample takes at most in a format's data (packed codecs take less).
std::uint64_t mostBytesPerSample(int format)
{
    switch (format & SF_FORMAT_SUBMASK)
    {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW: return 1;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 2;
    }
}

const char* sampleFormatName(int sub)
{
    switch (sub)
    {
    case SF_FORMAT_PCM_16: return "pcm16";
    case SF_FORMAT_PCM_24: return "pcm24";
    case SF_FORMAT_FLOAT: return "float";
    default: return "this sample format";
    }
}

// "".ogg" files cannot hold pcm16 samples: write pcm16 as .wav, .flac ... or leave --format out".
std::string containerRefuses(const std::string& ext, int sub)
{
    std::string holders;
    for (const auto& [other, major] : std::initializer_list<std::pair<const char*, int>>{
             {"wav", SF_FORMAT_WAV}, {"aiff", SF_FORMAT_AIFF}, {"flac", SF_FORMAT_FLAC}, {"caf", SF_FORMAT_CAF},
             {"w64", SF_FORMAT_W64}})
        if (formatWorks(major | sub, 1, 48000))
            holders += std::string(holders.empty() ? "" : ", ") + "." + other;
    return "\"." + ext + "\" files cannot hold " + sampleFormatName(sub) + " samples (whatever the channels and rate)" +
           (holders.empty() ? std::string() : ": write " + std::string(sampleFormatName(sub)) + " as " + holders) +
           ", or leave out --format and --bits for what \"." + ext + "\" holds";
}

// Room left for the header's chunks when a 32-bit container's data is sized.
constexpr std::uint64_t kHeaderAllowance = 4096;
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
    throw UsageError("--format takes float, pcm16, pcm24 or same, not " + quoted(text, kQuotedExcerptBytes));
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
    // A sample format the container never holds, whatever the channels and rate.
    if (sampleFormat != SampleFormat::Automatic && sampleFormat != SampleFormat::Same &&
        !formatWorks(major | candidates[0], 1, 48000) && !formatWorks(major | candidates[0], 2, 44100))
        throw UsageError(containerRefuses(ext, candidates[0]));
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

bool mayOutgrow32BitSizes(std::uint64_t mostFrames, int channels, int format)
{
    return mostFrames == 0 ||
           mostFrames * static_cast<std::uint64_t>(channels) * mostBytesPerSample(format) + kHeaderAllowance >
               FloatWavWriter::kMostRiffBytes;
}

std::string readBackFault(const std::string& path, int format, int channels, int sampleRate, std::uint64_t frames,
                          const std::string& settingsJson)
{
    // Headerless samples read back as what they were written as.
    const bool headerless = (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW;
    SndfileHandle file = headerless ? SndfileHandle(path, SFM_READ, format, channels, sampleRate) : SndfileHandle(path);
    if (file.rawHandle() == nullptr || file.error() != SF_ERR_NO_ERROR)
        return std::string("it does not read back: ") + file.strError();
    const auto plural = [](std::uint64_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    if (file.channels() != channels || file.samplerate() != sampleRate)
        return "it reads back as " + plural(static_cast<std::uint64_t>(std::max(file.channels(), 0)), "channel") +
               " at " + std::to_string(file.samplerate()) + " Hz, not " +
               plural(static_cast<std::uint64_t>(channels), "channel") + " at " + std::to_string(sampleRate) + " Hz";
    const int sub = format & SF_FORMAT_SUBMASK;
    const bool counted = sub != SF_FORMAT_VORBIS && sub != SF_FORMAT_OPUS && sub != SF_FORMAT_MPEG_LAYER_III;
    if (counted && static_cast<std::uint64_t>(std::max<sf_count_t>(file.frames(), 0)) != frames)
        return "it reads back as " + plural(static_cast<std::uint64_t>(std::max<sf_count_t>(file.frames(), 0)), "frame") +
               ", not " + std::to_string(frames);
    if (!settingsJson.empty())
    {
        const OutputMetadata written = readMetadata(path);
        if (written.settingsJson != settingsJson)
            return "its settings chunk does not read back" +
                   (written.settingsUnread.empty() ? std::string() : " (" + written.settingsUnread + ")");
    }
    return {};
}

AudioWriter::AudioWriter(const std::string& path, const std::string& name, int format, int channels, int sampleRate,
                         std::uint64_t mostFrames)
    : m_path(path), m_channels(static_cast<std::uint32_t>(channels)), m_format(format), m_sampleRate(sampleRate)
{
    const bool large = mayOutgrow32BitSizes(mostFrames, channels, format);
    const int major = format & SF_FORMAT_TYPEMASK;
    if (isFloatWav(format))
    {
        m_floatWav = std::make_unique<FloatWavWriter>(path, name, m_channels, static_cast<std::uint32_t>(sampleRate), large);
        return;
    }
    if (major == SF_FORMAT_AIFF && large && mostFrames > 0)
        throw UsageError("\"" + name + "\": an AIFF file holds at most 4 GiB and this render may write more; write " +
                         "\".wav\" (RF64 when it must be), \".w64\" or \".caf\"");
    // A WAV file that may outgrow RIFF is written as RF64, and closed as WAV when it fits
    // (where RF64 holds the sample format; otherwise a WAV file fails rather than outgrow).
    const int rf64Format = (format & ~SF_FORMAT_TYPEMASK) | SF_FORMAT_RF64;
    const bool rf64 = major == SF_FORMAT_WAV && large && formatWorks(rf64Format, channels, sampleRate);
    m_sndfile = SndfileHandle(path, SFM_WRITE, rf64 ? rf64Format : format, channels, sampleRate);
    if (m_sndfile.rawHandle() == nullptr || m_sndfile.error() != SF_ERR_NO_ERROR)
        throw IoError("cannot write \"" + name + "\": " + m_sndfile.strError());
    if (rf64)
        m_sndfile.command(SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    else if (major == SF_FORMAT_WAV || major == SF_FORMAT_AIFF)
        m_mostFrames = (FloatWavWriter::kMostRiffBytes - kHeaderAllowance) /
                       (static_cast<std::uint64_t>(channels) * mostBytesPerSample(format));
    // Integer formats clip rather than wrap samples beyond full scale.
    m_sndfile.command(SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter() = default;

void AudioWriter::ditherWith(std::uint64_t seed)
{
    const int sub = m_format & SF_FORMAT_SUBMASK;
    if (sub != SF_FORMAT_PCM_16 && sub != SF_FORMAT_PCM_24)
        return;
    m_dither = std::make_unique<TpdfDither>(sub == SF_FORMAT_PCM_16 ? 16 : 24, seed);
    if (const int bytes = littleEndianPcmBytes(m_format); bytes > 0)
        m_packed = std::make_unique<PackedPcmOutput>(m_sndfile.rawHandle(), bytes);
}

std::string AudioWriter::describeWith(const OutputMetadata& metadata)
{
    if (!m_floatWav && !carriesMetadata(m_format))
        return {};
    OutputMetadata described = metadata;
    described.codingHistory = "A=PCM,F=" + std::to_string(m_sampleRate) +
                              ",W=" + std::to_string(mostBytesPerSample(m_format) * 8) + ",M=" +
                              (m_channels == 1 ? "mono" : m_channels == 2 ? "stereo" : "multichannel") + "," +
                              metadata.codingHistory;
    std::string error;
    if (m_floatWav)
    {
        error = metadataUnwritable(described);
        if (error.empty() && !m_floatWav->addChunks(metadataChunks(described)))
            error = m_floatWav->error();
    }
    else
    {
        // libsndfile dates the PEAK chunk of a float AIFF file by the clock: a file dated
        // otherwise goes without it.
        if (described.stampSeconds)
            m_sndfile.command(SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
        m_settingsChunk = settingsChunkBytes(described);
        error = writeMetadata(m_sndfile, described, m_settingsChunk);
    }
    if (error.empty())
        m_settingsJson = described.settingsJson;
    return error;
}

bool AudioWriter::write(const float* interleaved, std::uint32_t frames)
{
    if (!m_error.empty())
        return false;
    if (m_floatWav)
    {
        if (!m_floatWav->write(interleaved, frames))
            return false;
        m_frames += frames;
        return true;
    }
    if (m_frames + frames > m_mostFrames)
    {
        m_error = "it would outgrow the 4 GiB its header can describe";
        return false;
    }
    sf_count_t done = 0;
    if (m_dither)
    {
        m_dithered.resize(static_cast<std::size_t>(frames) * m_channels);
        m_dither->quantize(interleaved, m_dithered.data(), m_dithered.size());
        done = !m_packed ? m_sndfile.writef(m_dithered.data(), frames)
               : m_packed->add(m_dithered.data(), m_dithered.size()) ? frames
                                                                      : 0;
    }
    else
        done = m_sndfile.writef(interleaved, frames);
    if (done != static_cast<sf_count_t>(frames))
    {
        m_error = m_sndfile.strError();
        return false;
    }
    m_frames += frames;
    return true;
}

std::string AudioWriter::close()
{
    if (m_floatWav)
    {
        if (m_error.empty())
            m_error = m_floatWav->close();
        m_floatWav.reset();
    }
    else if (m_sndfile)
    {
        if (m_error.empty() && m_packed && !m_packed->flush())
            m_error = m_sndfile.strError();
        if (m_error.empty() && m_sndfile.error() != SF_ERR_NO_ERROR)
            m_error = m_sndfile.strError();
        m_sndfile = SndfileHandle();
    }
    else
        return m_error;
    if (m_error.empty())
        m_error = readBackFault(m_path, m_format, static_cast<int>(m_channels), m_sampleRate, m_frames, m_settingsJson);
    return m_error;
}
