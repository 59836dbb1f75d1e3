// The sound engine's parameter object: the forty values grouped by stage, with a
// changed flag per group and a mask of groups whose enable switch changed. Each group
// names the stage of the parameter table it holds.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "params/ParameterTable.h"

#include <cstdint>
#include <type_traits>

enum StageBit : std::uint8_t
{
    kFiltersBit = 1u << 0,
    kDistortionBit = 1u << 1,
    kEqBit = 1u << 2,
    kNoiseBit = 1u << 3,
    kGateBit = 1u << 4,
    kSimBit = 1u << 5,
    kLoFiBit = 1u << 6,
    kAllStagesMask = 0x7f,
};

// A stage's bit in the enable mask; the gains, always on, have none.
constexpr std::uint8_t enableBitOf(ParameterStage stage)
{
    // In the order of ParameterStage.
    constexpr std::uint8_t kBits[] = {kDistortionBit, kGateBit, kSimBit, kLoFiBit, 0, kFiltersBit, kEqBit, kNoiseBit};
    return kBits[static_cast<int>(stage)];
}

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
    Group& group()
    {
        Group* found = nullptr;
        forEachGroup([&found](auto& g) {
            if constexpr (std::is_same_v<std::decay_t<decltype(g)>, Group>)
                found = &g;
        });
        return *found;
    }

    // Calls visit(group) for every parameter group.
    template <typename Visit>
    void forEachGroup(Visit&& visit)
    {
        visit(filters), visit(distortion), visit(eq), visit(noise), visit(gate), visit(sim), visit(lofi), visit(gains);
    }

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

// A value brought into the range of parameter `def`; NaN becomes the default, and
// whole-value parameters are truncated toward zero.
float clampToRange(const ParameterDefinition& def, float value);
