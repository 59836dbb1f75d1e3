#include "engine/EngineParams.h"

#include "engine/HostAllocation.h"
#include "engine/Units.h"
#include "params/ValueCodec.h"

#include <cmath>
#include <new>

using namespace ZQ::Quarl;

namespace
{
float linearGain(float db)
{
    return static_cast<float>(dbToGain(db));
}

// The stages' on/off switches are the parameters the host holds as bools.
bool isSwitch(const ParameterDefinition& def)
{
    return def.hostType == HostType::Bool;
}
} // namespace

float clampToRange(const ParameterDefinition& def, float value)
{
    if (std::isnan(value))
        return def.defaultValue;
    if (def.steps > 0)
        value = std::trunc(value);
    if (value < def.minValue)
        return def.minValue;
    if (value > def.maxValue)
        return def.maxValue;
    return value;
}

EngineParams::EngineParams()
{
    setDefaults();
}

EngineParams* EngineParams::create(IAllocator* allocator)
{
    return HostAllocation::make<EngineParams>(allocator);
}

void* EngineParams::DeletingDestructor(unsigned int flags) noexcept
{
    return HostAllocation::destroy(this, flags);
}

void EngineParams::setDefaults()
{
    for (const auto& def : g_parameterDefinitions)
        store(def, def.defaultValue);
    markAllChanged();
}

void EngineParams::markAllChanged()
{
    forEachGroup([](auto& group) { group.changed = true; });
    enableMask = kAllStagesMask;
}

void EngineParams::clearChanged()
{
    forEachGroup([](auto& group) { group.changed = false; });
    enableMask = 0;
}

void EngineParams::store(const ParameterDefinition& def, float v)
{
    const auto asInt = static_cast<std::int32_t>(v);
    switch (def.id)
    {
    case ParamId::FiltersLPFSlope: filters.lpfSlope = asInt; break;
    case ParamId::FiltersLPFFreq: filters.lpfFreq = v; break;
    case ParamId::FiltersLPFQ: filters.lpfQ = v; break;
    case ParamId::FiltersHPFSlope: filters.hpfSlope = asInt; break;
    case ParamId::FiltersHPFFreq: filters.hpfFreq = v; break;
    case ParamId::FiltersHPFQ: filters.hpfQ = v; break;

    case ParamId::DistortionMode: distortion.mode = asInt; break;
    case ParamId::DistortionAmount: distortion.amount = v; break;
    case ParamId::DistortionIntensity: distortion.intensity = v; break;
    case ParamId::DistortionRectify: distortion.rectify = v; break;

    case ParamId::EQFilterType: eq.type = asInt; break;
    case ParamId::EQFreq: eq.freq = v; break;
    case ParamId::EQQ: eq.q = v; break;
    case ParamId::EQGain: eq.gainDb = v; break;

    case ParamId::NoiseLevel: noise.level = v; break;
    case ParamId::NoiseLPFFreq: noise.lpfFreq = v; break;
    case ParamId::NoiseHPFFreq: noise.hpfFreq = v; break;
    case ParamId::NoiseThresh: noise.threshold = v; break;
    case ParamId::NoiseRange: noise.range = v; break;
    case ParamId::NoiseRecovery: noise.recovery = v; break;

    case ParamId::GateThreshold: gate.threshold = v; break;
    case ParamId::GateRange: gate.range = v; break;
    case ParamId::GateAttackTime: gate.attack = v; break;
    case ParamId::GateHoldTime: gate.hold = v; break;
    case ParamId::GateReleaseTime: gate.release = v; break;

    case ParamId::SIMType: sim.type = asInt; break;
    case ParamId::SIMTuning: sim.tuning = v; break;

    case ParamId::LoFiBitDepthType: lofi.bitDepthType = asInt; break;
    case ParamId::LoFiDownSampleIndex: lofi.downSampleIndex = asInt; break;
    case ParamId::LoFiFilter: lofi.filter = v; break;

    case ParamId::InputGain: gains.inputGain = linearGain(v); break;
    case ParamId::OutputGain: gains.outputGain = linearGain(v); break;
    case ParamId::Balance: gains.balance = v; break;
    default: break; // a switch: stored with its group's flags
    }

    forEachGroup([&](auto& group) {
        using Group = std::decay_t<decltype(group)>;
        if (Group::kStage != def.stage)
            return;
        group.changed = true;
        if constexpr (enableBitOf<Group>() != 0)
            if (isSwitch(def))
            {
                group.enable = v != 0.f;
                enableMask |= enableBitOf<Group>();
            }
    });
}

Result EngineParams::SetParam(PluginParamId id, const void* value, std::uint32_t bytes) noexcept
{
    const ParameterDefinition* def = findParameter(id);
    float v = 0.f;
    if (def == nullptr || value == nullptr || !decodeValue(def->update, value, bytes, v))
        return InvalidParameter;
    store(*def, clampToRange(*def, v));
    return Success;
}

Result EngineParams::SetParamsBlock(const void* block, std::uint32_t bytes) noexcept
{
    if (block == nullptr || bytes != kParameterBlockSize)
        return InvalidParameter;
    const auto* p = static_cast<const std::uint8_t*>(block);
    for (const auto& def : g_parameterDefinitions)
    {
        float v = 0.f;
        decodeValue(def.hostType, p, blockSizeOf(def.hostType), v);
        store(def, clampToRange(def, v));
        p += blockSizeOf(def.hostType);
    }
    markAllChanged();
    return Success;
}

Result EngineParams::Init(IAllocator*, const void* block, std::uint32_t bytes) noexcept
{
    setDefaults();
    if (block == nullptr && bytes == 0)
        return Success;
    return SetParamsBlock(block, bytes);
}

IEffectParams* EngineParams::Clone(IAllocator* allocator) noexcept
{
    EngineParams* copy = HostAllocation::make<EngineParams>(allocator, *this);
    if (copy != nullptr)
        copy->markAllChanged();
    return copy;
}

Result EngineParams::Term(IAllocator* allocator) noexcept
{
    this->~EngineParams();
    if (allocator != nullptr)
        allocator->Free(this);
    return Success;
}
