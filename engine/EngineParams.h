// The sound engine's parameter object: the forty values grouped by stage, with a
// changed flag per group and a mask of groups whose enable switch changed. Each group
// names the stage of the parameter table it holds.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "params/ParameterTable.h"

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>

struct FiltersParams
{
    static constexpr ParameterStage kStage = ParameterStage::Filters;

    std::int32_t lpfSlope;
    float lpfFreq;
    float lpfQ;
    std::int32_t hpfSlope;
    float hpfFreq;
    float hpfQ;
    bool changed;
    bool enable;
};

struct DistortionParams
{
    static constexpr ParameterStage kStage = ParameterStage::Distortion;

    std::int32_t mode;
    float amount;
    float intensity;
    float rectify;
    bool changed;
    bool enable;
};

struct EqParams
{
    static constexpr ParameterStage kStage = ParameterStage::Eq;

    std::int32_t type;
    float freq;
    float q;
    float gainDb;
    bool changed;
    bool enable;
};

struct NoiseParams
{
    static constexpr ParameterStage kStage = ParameterStage::Noise;

    float level;
    float lpfFreq;
    float hpfFreq;
    float threshold;
    float range;
    float recovery;
    bool changed;
    bool enable;
};

struct GateParams
{
    static constexpr ParameterStage kStage = ParameterStage::Gate;

    float threshold;
    float range;
    float attack;
    float hold;
    float release;
    bool changed;
    bool enable;
};

struct SimParams
{
    static constexpr ParameterStage kStage = ParameterStage::Sim;

    std::int32_t type;
    float tuning;
    bool changed;
    bool enable;
};

struct LoFiParams
{
    static constexpr ParameterStage kStage = ParameterStage::LoFi;

    std::int32_t bitDepthType;
    std::int32_t downSampleIndex;
    float filter;
    bool changed;
    bool enable;
};

struct GainParams
{
    static constexpr ParameterStage kStage = ParameterStage::Gains;

    float inputGain;  // linear
    float outputGain; // linear
    float balance;    // percent
    bool changed;
};

class EngineParams final : public ZQ::Quarl::IEffectParams
{
public:
    EngineParams();
    EngineParams(const EngineParams&) = default;
    ~EngineParams() = default;

    void* DeletingDestructor(unsigned int flags) noexcept override;
    ZQ::Quarl::Result SetParam(ZQ::Quarl::PluginParamId id, const void* value, std::uint32_t bytes) noexcept override;
    ZQ::Quarl::IEffectParams* Clone(ZQ::Quarl::IAllocator* allocator) noexcept override;
    ZQ::Quarl::Result Init(ZQ::Quarl::IAllocator* allocator, const void* block, std::uint32_t bytes) noexcept override;
    ZQ::Quarl::Result Term(ZQ::Quarl::IAllocator* allocator) noexcept override;
    ZQ::Quarl::Result SetParamsBlock(const void* block, std::uint32_t bytes) noexcept override;

    // Made through the host's allocator; null when it has no memory.
    static EngineParams* create(ZQ::Quarl::IAllocator* allocator);

    // Every value at its default, every stage on, every group changed.
    void setDefaults();

    // Clears the changed flags and the enable mask once the processor has applied them.
    void clearChanged();

    // The group of this type.
    template <typename Group>
    Group& group();

    // Calls visit(group) for every parameter group, in the order of the fields
    // (kParameterGroups).
    template <typename Visit>
    void forEachGroup(Visit&& visit);

    FiltersParams filters;
    DistortionParams distortion;
    EqParams eq;
    NoiseParams noise;
    GateParams gate;
    SimParams sim;
    LoFiParams lofi;
    GainParams gains;
    std::uint8_t enableMask;

private:
    // The allocator the object's own memory came from, for the deleting destructor.
    friend struct HostAllocation;
    ZQ::Quarl::IAllocator* m_madeBy = nullptr;

    // Stores one value already brought into its parameter's range and marks its group.
    void store(const ParameterDefinition& def, float value);
    void markAllChanged();
};

// The parameter groups as fields of EngineParams, in their order. A group whose stage has a
// switch owns the bit of its position here in the enable mask.
inline constexpr auto kParameterGroups =
    std::make_tuple(&EngineParams::filters, &EngineParams::distortion, &EngineParams::eq, &EngineParams::noise,
                    &EngineParams::gate, &EngineParams::sim, &EngineParams::lofi, &EngineParams::gains);

namespace parameter_groups
{
// The group a field of kParameterGroups holds.
template <typename Field>
struct GroupOf;
template <typename Group>
struct GroupOf<Group EngineParams::*>
{
    using type = Group;
};

template <typename Group, std::size_t I = 0>
constexpr std::size_t positionOf()
{
    if constexpr (std::is_same_v<std::tuple_element_t<I, std::decay_t<decltype(kParameterGroups)>>, Group EngineParams::*>)
        return I;
    else
        return positionOf<Group, I + 1>();
}

// Whether a parameter of the stage is a switch (a bool in the parameter table).
constexpr bool hasSwitch(ParameterStage stage)
{
    for (const ParameterDefinition& p : g_parameterDefinitions)
        if (p.stage == stage && p.hostType == HostType::Bool)
            return true;
    return false;
}
} // namespace parameter_groups

// A group's bit in the enable mask; 0 for one without a switch (the gains).
template <typename Group>
constexpr std::uint8_t enableBitOf()
{
    if constexpr (parameter_groups::hasSwitch(Group::kStage))
        return static_cast<std::uint8_t>(1u << parameter_groups::positionOf<Group>());
    else
        return 0;
}

// Every group's bit: the mask of a parameter object whose switches all changed.
inline constexpr std::uint8_t kAllStagesMask = std::apply(
    [](auto... field) {
        return static_cast<std::uint8_t>(
            (enableBitOf<typename parameter_groups::GroupOf<decltype(field)>::type>() | ...));
    },
    kParameterGroups);

template <typename Visit>
void EngineParams::forEachGroup(Visit&& visit)
{
    std::apply([&](auto... field) { (visit(this->*field), ...); }, kParameterGroups);
}

template <typename Group>
Group& EngineParams::group()
{
    return this->*std::get<Group EngineParams::*>(kParameterGroups);
}

// A value brought into the range of parameter `def`; NaN becomes the default, and
// whole-value parameters are truncated toward zero.
float clampToRange(const ParameterDefinition& def, float value);
