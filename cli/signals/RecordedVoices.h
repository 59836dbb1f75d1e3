// Real recorded speech to voice the presets on: a few speakers installed with the system's
// speech-recognition test data and its sound theme (16 kHz readings and commands, one 48 kHz
// announcement), each read mono, brought to the rate asked with libsoxr at very high quality
// and to a loudness, so that presets are judged on voices and not on a synthetic signal alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RecordedVoice
{
    std::string name;    // a short label: "librivox-woman", "front-center"...
    std::string path;    // where the recording is installed
    std::vector<float> samples; // mono, at the rate asked
};

// The recordings that are installed, in a fixed order; none is an error only to the caller.
std::vector<RecordedVoice> recordedVoices(std::uint32_t sampleRate, double loudnessLufs);

// A synthetic voice: espeak-ng speaking a few dispatcher's lines, at the rate and loudness
// asked; empty when espeak-ng cannot be run.
std::vector<float> synthesisedVoice(std::uint32_t sampleRate, double loudnessLufs);

// Where the recordings are looked for, one per voice, for a message naming what is missing.
std::vector<std::string> recordedVoicePaths();

// `input` (mono, at `fromRate`) at `toRate`, through the render's resampler.
std::vector<float> resampleMono(const std::vector<float>& input, std::uint32_t fromRate, std::uint32_t toRate);
