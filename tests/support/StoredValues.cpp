#include "tests/support/EngineTestSupport.h"

#include <cmath>
#include <stdexcept>

namespace crumlet_test
{
namespace P = ParamId;

double storedValue(const EngineParams& p, ParameterId id)
{
    switch (id)
    {
    case P::FiltersEnable: return p.filters.enable;
    case P::FiltersLPFSlope: return p.filters.lpfSlope;
    case P::FiltersLPFFreq: return p.filters.lpfFreq;
    case P::FiltersLPFQ: return p.filters.lpfQ;
    case P::FiltersHPFSlope: return p.filters.hpfSlope;
    case P::FiltersHPFFreq: return p.filters.hpfFreq;
    case P::FiltersHPFQ: return p.filters.hpfQ;
    case P::DistortionEnable: return p.distortion.enable;
    case P::DistortionMode: return p.distortion.mode;
    case P::DistortionAmount: return p.distortion.amount;
    case P::DistortionIntensity: return p.distortion.intensity;
    case P::DistortionRectify: return p.distortion.rectify;
    case P::EQEnable: return p.eq.enable;
    case P::EQFilterType: return p.eq.type;
    case P::EQFreq: return p.eq.freq;
    case P::EQQ: return p.eq.q;
    case P::EQGain: return p.eq.gainDb;
    case P::NoiseEnable: return p.noise.enable;
    case P::NoiseLevel: return p.noise.level;
    case P::NoiseLPFFreq: return p.noise.lpfFreq;
    case P::NoiseHPFFreq: return p.noise.hpfFreq;
    case P::NoiseThresh: return p.noise.threshold;
    case P::NoiseRange: return p.noise.range;
    case P::NoiseRecovery: return p.noise.recovery;
    case P::SIMEnable: return p.sim.enable;
    case P::SIMType: return p.sim.type;
    case P::SIMTuning: return p.sim.tuning;
    case P::GateEnable: return p.gate.enable;
    case P::GateThreshold: return p.gate.threshold;
    case P::GateRange: return p.gate.range;
    case P::GateAttackTime: return p.gate.attack;
    case P::GateHoldTime: return p.gate.hold;
    case P::GateReleaseTime: return p.gate.release;
    case P::LoFiEnable: return p.lofi.enable;
    case P::LoFiBitDepthType: return p.lofi.bitDepthType;
    case P::LoFiDownSampleIndex: return p.lofi.downSampleIndex;
    case P::LoFiFilter: return p.lofi.filter;
    case P::InputGain: return p.gains.inputGain;
    case P::OutputGain: return p.gains.outputGain;
    case P::Balance: return p.gains.balance;
    default: throw std::out_of_range("no such parameter");
    }
}
} // namespace crumlet_test
