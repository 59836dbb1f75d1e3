// The in-place effect processor that the host's sound engine runs once per buffer.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "engine/EngineParams.h"
#include "engine/RandomGenerator.h"
#include "engine/stages/DistortionStage.h"
#include "engine/stages/EqStage.h"
#include "engine/stages/FiltersStage.h"
#include "engine/stages/GateStage.h"
#include "engine/stages/LoFiStage.h"
#include "engine/stages/NoiseStage.h"
#include "engine/stages/SimStage.h"

#include <cstdint>

// Meter values per channel in the posted record, in record order.
enum MeterSlot
{
    kMeterInput = 0,     // after the input gain
    kMeterOutput = 1,    // final output
    kMeterPreNoise = 2,  // after Filters, Distortion and EQ
    kMeterNoise = 3,     // largest filtered-noise magnitude
    kMeterDucking = 4,   // smallest noise ducking gain
    kMeterPreGate = 5,   // after Noise and SIM
    kMeterGateGain = 6,  // smallest gate gain
    kMetersPerChannel = 7,
};

constexpr std::uint32_t kMeterRecordHeaderBytes = 4;
constexpr std::uint32_t kMeterBytesPerChannel = kMetersPerChannel * 4;
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

    // Sum of the Filters, EQ and SIM tails, in samples.
    std::int64_t tailSum() const { return m_tailSum; }

private:
    struct BlockGains
    {
        float inputFrom, inputTo;
        float wetFrom, wetTo;
        float dryFrom, dryTo;
    };

    bool stageEnabled(int bit) const;
    bool stagePresent(int bit) const;
    // Frees the stage's memory and, when it is enabled, allocates and sets it up afresh.
    bool reallocateStage(int bit);
    void releaseStage(int bit);
    void releaseStages();
    void setupStage(int bit);
    // The end-of-input handling; false when the call ends here.
    bool runTail(ZQ::Quarl::AudioBuffer& buffer);
    // The chain over every channel; data[c] is channel c, dry and noise hold `frames`
    // samples per channel.
    void processChannels(float* const* data, std::uint32_t channels, std::uint32_t frames, const BlockGains& gains,
                         float* dry, float* noise, float (*meters)[kMetersPerChannel]);
    void resetChannel(std::uint32_t c);

    ZQ::Quarl::IAllocator* m_allocator = nullptr;
    // The allocator the object's own memory came from, for the deleting destructor.
    ZQ::Quarl::IAllocator* m_madeBy = nullptr;
    ZQ::Quarl::IProcessingContext* m_context = nullptr;
    EngineParams* m_params = nullptr;
    unsigned m_sampleRate = 0;
    std::uint32_t m_channels = 0;

    FiltersStage m_filters;
    DistortionStage m_distortion;
    EqStage m_eq;
    NoiseStage m_noise;
    GateStage m_gate;
    SimStage m_sim;
    LoFiStage m_lofi;
    RandomGenerator m_random;

    std::int32_t m_filtersTail = 0;
    std::int32_t m_eqTail = 0;
    std::int32_t m_simTail = 0;
    std::int64_t m_tailSum = 0;
    std::int64_t m_tailRemaining = -1; // -1: no tail running
    std::int64_t m_tailRemembered = 0;

    float m_prevInputGain = 1.f;
    float m_prevOutputGain = 1.f;
    float m_prevBalance = 100.f;
};
