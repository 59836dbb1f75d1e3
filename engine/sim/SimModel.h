// The device models of the SIM stage: seven sections and an output level per model.
#pragma once

#include "engine/filters/BiquadCoefs.h"
#include "params/DeviceTable.h"

#include <cstddef>
#include <cstdint>

enum class SimKind : std::uint8_t
{
    HighPass1,
    LowPass1,
    HighPass2, // arg1: damping
    LowPass2,  // arg1: damping
    Peaking,   // arg1: Q, arg2: gain dB
    LowShelf,  // arg1: S, arg2: gain dB
    HighShelf, // arg1: S, arg2: gain dB
};

enum class Tuning : std::uint8_t
{
    Fixed,
    Tuned, // the frequency follows SIMTuning
};

struct SimSection
{
    SimKind kind;
    double frequency;
    double arg1;
    double arg2;
    Tuning tuning;
};

constexpr int kSimSectionCount = 7;
constexpr double kUnityLevel = 1.0; // a level of 0 or more is a linear gain

struct SimModelData
{
    const char* name; // the device's, as its row in params/DeviceTable.h names it
    double level; // dB when below 0, else linear (kUnityLevel)
    SimSection sections[kSimSectionCount];
};

constexpr std::size_t kSimModelCount = kDeviceCount;

// The catalogue, indexed by SIMType: model k is device k.
extern const SimModelData g_simModels[kSimModelCount];

// Designs section k of the model into out[k] at the given rate; nothing for an index
// outside the catalogue.
void SimModelSections(unsigned sampleRate, int model, double tuning, BiquadCoefs (&out)[kSimSectionCount]);

// The model's level in dB, or 1.0 for a unity model or an index outside the catalogue.
double SimModelLevel(int model);

// Name of a section kind as the catalogue writes it.
const char* simKindName(SimKind kind);
