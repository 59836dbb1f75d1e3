// A response read as a person would describe it: the band heard (down 10 dB from the level
// of the pass band, not from its loudest bump) and its character: a bass bump, a honky or
// bright peak, a ringing resonance, no bass, no treble, flat. Device models are read at
// 48 kHz and 100 % tuning.
#pragma once

#include <string>
#include <vector>

struct SimResponse
{
    double levelDb = 0.0; // the pass band's level: the median of the octave-smoothed response
                          // where it lies within 15 dB of its top
    double lowHz = 0.0;   // lowest frequency at most 10 dB under that level (third-octave smoothed)
    double highHz = 0.0;  // highest such frequency
    double peakHz = 0.0;  // where the response is greatest
    double peakDb = 0.0;  // the peak above the pass band's level, dB
    std::vector<std::string> character; // "bass bump at 90 Hz", "honky peak at 1.1 kHz", "thin"...
    std::string description; // "40 Hz–11 kHz, bass bump at 90 Hz"
};

// Frequencies from 20 Hz to 20 kHz, log-spaced, at which responses are read.
const std::vector<double>& responseFrequencies();

// Reads a magnitude response given at responseFrequencies(), in dB.
SimResponse describeResponse(const std::vector<double>& db);

// A device model's summed response (seven sections and level) at `rate`, at `frequencies`
// (responseFrequencies() when null).
std::vector<double> simResponseDb(int model, unsigned rate = 48000, double tuning = 1.0,
                                  const std::vector<double>* frequencies = nullptr);

SimResponse describeSimResponse(int model);

// "300 Hz", "3.4 kHz", "12 kHz": two significant figures.
std::string formatHz(double hz);
