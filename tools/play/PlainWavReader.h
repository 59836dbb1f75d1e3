// WAV files read without a library, for the engine-side builds (ARM64, WebAssembly) that have
// no libsndfile: RIFF WAVE with 16-, 24- or 32-bit integer samples or 32-bit floats, plain or
// WAVE_FORMAT_EXTENSIBLE. Integers become floats as libsndfile makes them (a 16-bit value
// divided by 32768, a 24-bit one by 2^23, a 32-bit one rounded to float and divided by 2^31:
// exact scalings), so every build reads the same samples.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct PlainWav
{
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    std::vector<float> samples; // interleaved frames
};

struct WavReadError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// The file's samples; throws WavReadError naming what it cannot read.
PlainWav readPlainWav(const std::string& path);

// The same from a file's bytes.
PlainWav parsePlainWav(const std::string& bytes);
