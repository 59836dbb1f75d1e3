// Reading and writing audio files through libsndfile.
#pragma once

#include <sndfile.hh>

#include <cstdint>
#include <cstdio>
#include <string>

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

// Why an opened input holds fewer frames than its header promises ("the header promises
// 48000 frames, the file holds 24989"), or empty when it is whole.
std::string truncationOf(SndfileHandle& file);

// The libsndfile format for an output path, chosen by its extension and the input's format
// (0 for the built-in demo); throws UsageError for an unknown extension or a sample format
// the container cannot hold.
int outputFormatFor(const std::string& path, SampleFormat sampleFormat, int channels, int sampleRate,
                    int inputFormat);

// True for integer sample formats, where samples beyond full scale clip.
bool clipsAtFullScale(int format);

// Writes interleaved float frames into a file in a given format. Float WAV files are
// written with a full WAVE_FORMAT_IEEE_FLOAT header (an 18-byte fmt chunk and a fact chunk)
// that every common reader takes without complaint; everything else goes through libsndfile.
class AudioWriter
{
public:
    // Throws IoError with the reason; `name` is the path reported in messages.
    AudioWriter(const std::string& path, const std::string& name, int format, int channels, int sampleRate);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    // Samples beyond full scale are clipped for integer formats. False on a write error.
    bool write(const float* interleaved, std::uint32_t frames);

    // Completes the file; returns the reason when writing failed, empty otherwise.
    std::string close();

private:
    std::string m_error;
    SndfileHandle m_sndfile;
    std::FILE* m_floatWav = nullptr;
    std::uint32_t m_channels;
    std::uint64_t m_frames = 0;
};
