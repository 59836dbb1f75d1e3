// Mono test signals for judging presets: pink noise (the band-limit), a speech-like voice
// (loudness as dialogue has it) and a logarithmic sine sweep (peaks at every frequency).
// All are deterministic, so a figure measured today is the figure measured tomorrow.
#pragma once

#include <cstdint>
#include <vector>

namespace ReferenceSignals
{
// Pink noise (-3 dB per octave from 20 Hz up) at an RMS level in dBFS.
std::vector<float> pinkNoise(std::uint32_t sampleRate, double seconds, double rmsDbfs = -20.0);

// A formant-synthesised voice: syllables with a falling pitch, vowel glides, fricatives
// and pauses between phrases, scaled so its sample peak is `peakDbfs`.
std::vector<float> speechLike(std::uint32_t sampleRate, double seconds, double peakDbfs = -3.0);

// A sine sweeping logarithmically from `fromHz` to `toHz` at `levelDbfs` peak, with 10 ms
// fades at either end.
std::vector<float> sineSweep(std::uint32_t sampleRate, double seconds, double levelDbfs = -6.0,
                             double fromHz = 20.0, double toHz = 20000.0);
} // namespace ReferenceSignals
