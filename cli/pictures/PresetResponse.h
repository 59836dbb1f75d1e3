// A preset's whole response as the engine plays it, read off the same designs: the Filters
// pair, the EQ band, the device model with its level and the input and output gains, each
// at the render's rate. The stages that are not filters (distortion, noise, gate, lo-fi)
// have no response and are named instead.
#pragma once

#include <string>
#include <vector>

class ParameterSettings;

struct ResponsePart
{
    std::string key;        // "filters", "eq", "device", "level"
    std::string label;      // in a sound designer's words: "device: Red Megaphone"
    std::vector<double> db; // at the frequencies asked
};

struct PresetResponse
{
    std::vector<ResponsePart> parts; // each stage that shapes the sound, when it is on
    std::vector<double> totalDb;     // all of them together
    std::vector<std::string> notDrawn; // "drive (Clip, 45 %)", "hiss at -40 dB", "lo-fi 8000 Hz"
};

// At `frequencies`, responseFrequencies() when null.
PresetResponse presetResponse(const ParameterSettings& settings, unsigned rate = 48000,
                              const std::vector<double>* frequencies = nullptr);
