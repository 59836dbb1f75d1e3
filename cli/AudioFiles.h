// Reading and writing audio files through libsndfile.
#pragma once

#include <sndfile.hh>

#include <cstdint>
#include <string>

enum class SampleFormat
{
    Automatic, // 32-bit float where the container allows it
    Float,
    Pcm16,
    Pcm24,
};

// Parses "float", "pcm16" or "pcm24"; throws UsageError otherwise.
SampleFormat parseSampleFormat(const std::string& text);

// Opens a file for reading; throws IoError with libsndfile's reason.
SndfileHandle openInput(const std::string& path);

// The libsndfile format for an output path, chosen by its extension; throws UsageError
// for an unknown extension or a sample format the container cannot hold.
int outputFormatFor(const std::string& path, SampleFormat sampleFormat, int channels, int sampleRate);

// Opens a file for writing; throws IoError with libsndfile's reason.
SndfileHandle openOutput(const std::string& path, int format, int channels, int sampleRate);
