// What the editor's meters read, as linear fractions of full scale: per channel the input,
// output, duck input and gate input peaks and the deepest duck and gate gains, and the
// loudest noise level. At rest the peaks read 0 and the gains 1.
#pragma once

#include "editor/MeterRecord.h"

#include <array>
#include <cstddef>

struct MeterLevels
{
    static constexpr std::size_t kChannels = 256;
    using Channels = std::array<double, kChannels>;

    // The per-channel kinds.
    enum Kind { InputPeak, OutputPeak, DuckInput, DuckGain, GateInput, GateGain };
    static constexpr int kKinds = 6;
    // The record field each kind takes.
    static constexpr MeterRecord::Field fieldOf(int kind)
    {
        constexpr MeterRecord::Field fields[kKinds] = {MeterRecord::InputPeak, MeterRecord::OutputPeak,
                                                       MeterRecord::DuckInput, MeterRecord::DuckGain,
                                                       MeterRecord::GateInput, MeterRecord::GateGain};
        return fields[kind];
    }
    static constexpr bool isGain(int kind) { return MeterRecord::isGain(fieldOf(kind)); }
    static constexpr double restOf(int kind) { return isGain(kind) ? 1.0 : 0.0; }

    std::array<Channels, kKinds> channels;
    double noiseLevel;

    MeterLevels() { rest(); }
    void rest()
    {
        for (int kind = 0; kind < kKinds; ++kind)
            channels[static_cast<std::size_t>(kind)].fill(restOf(kind));
        noiseLevel = 0.0;
    }
};
