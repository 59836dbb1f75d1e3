// A device model's character read off its summed magnitude response (seven sections and
// level, designed at 48 kHz, tuning 100 %): the pass band and the strongest peak.
#pragma once

#include <string>

struct SimResponse
{
    double lowHz = 0.0;   // lowest frequency within 10 dB of the octave-smoothed maximum
    double highHz = 0.0;  // highest such frequency
    double peakHz = 0.0;  // where the response is greatest
    double peakDb = 0.0;  // the peak above the pass band's mean level, dB
    std::string description; // "300 Hz–3.4 kHz, peak at 1.1 kHz"
};

SimResponse describeSimResponse(int model);

// "300 Hz", "3.4 kHz", "12 kHz": two significant figures.
std::string formatHz(double hz);
