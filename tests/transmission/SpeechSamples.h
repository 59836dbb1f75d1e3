// Real recorded speech for the transmission tests, and the measures they take of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace transmission::testing
{

struct Speech
{
    std::vector<float> samples; // mono
    double sampleRate = 0;
};

// A woman reading (16 kHz), from the speech recognizer's test data.
std::string speechPath();
// The file's first channel, as float; fails the test when it cannot be read.
Speech readSpeech(const std::string& path);
// The same speech at another rate (through the library's own resampler).
Speech resampled(const Speech& speech, double sampleRate);

// The lag (within ±most) at which `b` best matches `a`: positive when b comes later.
int bestLag(const std::vector<float>& a, const std::vector<float>& b, int most);
// The RMS over ±`halfWidth` samples around each sample, less its mean: what lines up between
// speech and a vocoder's rendering of it, whose waveform has phases of its own.
std::vector<float> envelope(const std::vector<float>& x, int halfWidth);
// Correlation coefficient of a and b at lag 0, over the shorter length.
double correlation(const std::vector<float>& a, const std::vector<float>& b);

} // namespace transmission::testing
