// Parameter identifiers: ten times the stage number plus the position in the stage.
#pragma once

#include <cstdint>

using ParameterId = std::int32_t;

namespace ParamId
{
// Stage 0: Distortion
constexpr ParameterId DistortionEnable = 0;
constexpr ParameterId DistortionMode = 1;
constexpr ParameterId DistortionAmount = 2;
constexpr ParameterId DistortionIntensity = 3;
constexpr ParameterId DistortionRectify = 4;
// Stage 1: Gate
constexpr ParameterId GateEnable = 10;
constexpr ParameterId GateThreshold = 11;
constexpr ParameterId GateRange = 12;
constexpr ParameterId GateAttackTime = 13;
constexpr ParameterId GateHoldTime = 14;
constexpr ParameterId GateReleaseTime = 15;
// Stage 2: SIM
constexpr ParameterId SIMEnable = 20;
constexpr ParameterId SIMType = 21;
constexpr ParameterId SIMTuning = 22;
// Stage 3: LoFi
constexpr ParameterId LoFiEnable = 30;
constexpr ParameterId LoFiBitDepthType = 31;
constexpr ParameterId LoFiDownSampleIndex = 32;
constexpr ParameterId LoFiFilter = 33;
// Stage 4: gains
constexpr ParameterId InputGain = 40;
constexpr ParameterId OutputGain = 41;
constexpr ParameterId Balance = 42;
// Stage 5: Filters
constexpr ParameterId FiltersEnable = 50;
constexpr ParameterId FiltersLPFSlope = 51;
constexpr ParameterId FiltersLPFFreq = 52;
constexpr ParameterId FiltersLPFQ = 53;
constexpr ParameterId FiltersHPFSlope = 54;
constexpr ParameterId FiltersHPFFreq = 55;
constexpr ParameterId FiltersHPFQ = 56;
// Stage 6: EQ
constexpr ParameterId EQEnable = 60;
constexpr ParameterId EQFilterType = 61;
constexpr ParameterId EQFreq = 62;
constexpr ParameterId EQQ = 63;
constexpr ParameterId EQGain = 64;
// Stage 7: Noise generator
constexpr ParameterId NoiseEnable = 70;
constexpr ParameterId NoiseLevel = 71;
constexpr ParameterId NoiseLPFFreq = 72;
constexpr ParameterId NoiseHPFFreq = 73;
constexpr ParameterId NoiseThresh = 74;
constexpr ParameterId NoiseRange = 75;
constexpr ParameterId NoiseRecovery = 76;

constexpr ParameterId First = 0;
constexpr ParameterId Last = 76;
constexpr int TableRows = 77;
} // namespace ParamId
