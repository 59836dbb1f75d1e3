// Reading and writing audio files through libsndfile.
#pragma once

#include <sndfile.hh>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class FloatWavWriter;
class PackedPcmOutput;
class TpdfDither;
struct OutputMetadata;

enum class SampleFormat
{
    Automatic, // 32-bit float where the container holds it; FLAC keeps the input's depth
    Same,      // the input's sample format
    Float,
    Pcm16,
    Pcm24,
};

// Parses "float", "pcm16", "pcm24" or "same"; throws UsageError otherwise.
SampleFormat parseSampleFormat(const std::string& text);

// Opens a file for reading; throws IoError with libsndfile's reason.
SndfileHandle openInput(const std::string& path);

// The libsndfile format for an output path, chosen by its extension and the input's format
// (0 for the built-in demo); throws UsageError for an unknown extension or a sample format
// the container cannot hold.
int outputFormatFor(const std::string& path, SampleFormat sampleFormat, int channels, int sampleRate,
                    int inputFormat);

// True for integer sample formats, where samples beyond full scale clip.
bool clipsAtFullScale(int format);

// True when a WAV or AIFF file of at most `mostFrames` frames (0: not known) may need more
// than the 4 GiB its 32-bit sizes can describe.
bool mayOutgrow32BitSizes(std::uint64_t mostFrames, int channels, int format);

// Why a file just written in `format` does not read back as written, empty when it does:
// libsndfile cannot open it, or its channels, rate or frames differ (frames where the format
// counts them exactly: not for Vorbis, Opus or MP3), or the settings it carries are not
// `settingsJson` (when that is not empty).
std::string readBackFault(const std::string& path, int format, int channels, int sampleRate, std::uint64_t frames,
                          const std::string& settingsJson);

// Writes interleaved float frames into a file in a given format. Float WAV files are
// written with a full WAVE_FORMAT_IEEE_FLOAT header (cli/FloatWavWriter); everything else
// goes through libsndfile. A WAV file that may outgrow 4 GiB is written so that it becomes
// RF64 if it does; an AIFF file that would is refused; nothing is ever cut silently.
class AudioWriter
{
public:
    // `mostFrames` is the most the file may be given (0: not known). Throws IoError with the
    // reason, UsageError for an AIFF file that would outgrow 4 GiB; `name` is the path
    // reported in messages.
    AudioWriter(const std::string& path, const std::string& name, int format, int channels, int sampleRate,
                std::uint64_t mostFrames);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    // Before the first write: 16- and 24-bit samples are written with TPDF dither made from
    // `seed` (other formats are left alone).
    void ditherWith(std::uint64_t seed);

    // Before the first write: the file carries the metadata where its container has a place
    // for it (see cli/io/BextChunk), a bext coding history's line starting with the file's
    // format ("A=PCM,F=48000,W=16,M=mono,"). Metadata dated other than by the clock leaves out
    // what libsndfile dates by it (a float AIFF file's PEAK chunk).
    // Returns the reason when it cannot be written, empty otherwise.
    std::string describeWith(const OutputMetadata& metadata);

    // Samples beyond full scale are clipped for integer formats. False on a write error.
    bool write(const float* interleaved, std::uint32_t frames);

    // Completes the file and reads it back; returns the reason when writing failed or the file
    // does not read back as written (readBackFault), empty otherwise.
    std::string close();

private:
    std::string m_path;
    std::string m_error;
    std::string m_settingsJson;  // what the settings chunk says
    std::string m_settingsChunk; // libsndfile writes it from here when the file closes
    SndfileHandle m_sndfile;
    std::unique_ptr<FloatWavWriter> m_floatWav;
    std::unique_ptr<TpdfDither> m_dither;
    std::unique_ptr<PackedPcmOutput> m_packed; // dithered samples a WAV file stores as they are
    std::vector<std::int32_t> m_dithered;
    std::uint32_t m_channels;
    int m_format;
    int m_sampleRate;
    std::uint64_t m_frames = 0;
    std::uint64_t m_mostFrames = UINT64_MAX; // what a 32-bit container's sizes can describe
};
