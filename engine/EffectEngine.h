// The in-place effect processor that the host's sound engine runs once per buffer.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "engine/EngineParams.h"
#include "engine/MeterSlots.h"
#include "engine/stages/DistortionStage.h"
#include "engine/stages/EqStage.h"
#include "engine/stages/FiltersStage.h"
#include "engine/stages/GateStage.h"
#include "engine/stages/LoFiStage.h"
#include "engine/stages/NoiseStage.h"
#include "engine/stages/SimStage.h"

#include <cstdint>
#include <tuple>

// The chain's stages in processing order (see engine/stages/Stage.h). Everything the
// processor does with its stages walks this list.
using EngineStages =
    std::tuple<FiltersStage, DistortionStage, EqStage, NoiseStage, SimStage, GateStage, LoFiStage>;

constexpr std::uint32_t kMaxChannels = 64;
constexpr std::uint32_t kEngineBuildNumber = 516866;

class EffectEngine final : public ZQ::Quarl::IEffectPlugin
{
public:
    EffectEngine() = default;
    ~EffectEngine();

    void* DeletingDestructor(unsigned int flags) noexcept override;
    ZQ::Quarl::Result Term(ZQ::Quarl::IAllocator* allocator) noexcept override;
    ZQ::Quarl::Result Reset() noexcept override;
    ZQ::Quarl::Result GetPluginInfo(ZQ::Quarl::PluginInfo& info) noexcept override;
    bool SupportsMonitoring() noexcept override { return false; }
    std::uint32_t GetLatency() noexcept override { return 0; }
    ZQ::Quarl::Result Init(ZQ::Quarl::IAllocator* allocator, ZQ::Quarl::IProcessingContext* context,
                           ZQ::Quarl::IEffectParams* params, const ZQ::Quarl::AudioFormat& format) noexcept override;
    void Execute(ZQ::Quarl::AudioBuffer& buffer) noexcept override;
    ZQ::Quarl::Result TimeSkip(std::uint32_t& frames) noexcept override;

    // Made through the host's allocator; null when it has no memory.
    static EffectEngine* create(ZQ::Quarl::IAllocator* allocator);

    // Sum of the stages' tails, in samples.
    std::int64_t tailSum() const;

private:
    struct BlockGains
    {
        float inputFrom, inputTo;
        float wetFrom, wetTo;
        float dryFrom, dryTo;
    };

    // fn(stage) for every stage in chain order.
    template <typename Fn>
    void forEachStage(Fn&& fn);
    // fn(stage, pointer to the stage after it) for every stage in chain order; after the
    // last stage, the pointer is to a type that is no stage.
    template <typename Fn>
    void forEachStageAndNext(Fn&& fn);
    // fn(stage) for the stages in chain order until one answers false; whether none did.
    template <typename Fn>
    bool everyStage(Fn&& fn);
    // The stage's switch is on and its memory is there.
    template <typename Stage>
    bool runs(const Stage& stage);
    // Runs the stage over the block, together with the next one when the two are a pair
    // (engine/stages/StagePairs.h) and the next runs too; whether the next one ran.
    template <typename Stage, typename Next>
    bool runStage(Stage& stage, Next* next, const ChannelBlock& block);
    // Frees the stage's memory and, when it is enabled, allocates and sets it up afresh.
    template <typename Stage>
    bool reallocate(Stage& stage);
    void releaseStages();
    // The end-of-input handling; false when the call ends here.
    bool runTail(ZQ::Quarl::AudioBuffer& buffer);
    // The chain over every channel; data[c] is channel c, dry holds `frames` samples per
    // channel and scratch the stages' working memory.
    void processChannels(float* const* data, std::uint32_t channels, std::uint32_t frames, const BlockGains& gains,
                         float* dry, float* scratch, float (*meters)[kMetersPerChannel]);
    void resetChannel(std::uint32_t c);

    ZQ::Quarl::IAllocator* m_allocator = nullptr;
    // The allocator the object's own memory came from, for the deleting destructor.
    friend struct HostAllocation;
    ZQ::Quarl::IAllocator* m_madeBy = nullptr;
    ZQ::Quarl::IProcessingContext* m_context = nullptr;
    EngineParams* m_params = nullptr;
    unsigned m_sampleRate = 0;
    std::uint32_t m_channels = 0;

    EngineStages m_stages;

    std::int64_t m_tailRemaining = -1; // -1: no tail running
    std::int64_t m_tailRemembered = 0;

    float m_prevInputGain = 1.f;
    float m_prevOutputGain = 1.f;
    float m_prevBalance = 100.f;
};
