#include "engine/EffectEngine.h"

#include "engine/BlockMath.h"
#include "engine/DenormalGuard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

using namespace ZQ::Quarl;

namespace
{
// Stage order of parameter application.
constexpr int kStageOrder[] = {kFiltersBit, kDistortionBit, kEqBit, kNoiseBit, kSimBit, kGateBit, kLoFiBit};

float wetOf(float balance, float outputGain)
{
    return balance * 0.01f * outputGain;
}

float dryOf(float balance)
{
    return 1.f - balance * 0.01f;
}

float finiteOrZero(float v)
{
    return std::isfinite(v) ? v : 0.f;
}

// Working memory of one buffer from the host's allocator, freed on every exit.
class ScratchBuffer
{
public:
    // Nothing is taken when the buffer is not wanted.
    ScratchBuffer(IAllocator* allocator, std::uint32_t floats, bool wanted = true)
        : m_allocator(allocator),
          m_data(wanted ? static_cast<float*>(allocator->Malloc(sizeof(float) * std::max(floats, 1u))) : nullptr)
    {
    }
    ~ScratchBuffer()
    {
        if (m_data != nullptr)
            m_allocator->Free(m_data);
    }
    ScratchBuffer(const ScratchBuffer&) = delete;
    ScratchBuffer& operator=(const ScratchBuffer&) = delete;
    float* get() const { return m_data; }

private:
    IAllocator* m_allocator;
    float* m_data;
};
} // namespace

EffectEngine* EffectEngine::create(IAllocator* allocator)
{
    void* raw = allocator != nullptr ? allocator->Malloc(sizeof(EffectEngine)) : nullptr;
    if (raw == nullptr)
        return nullptr;
    auto* engine = new (raw) EffectEngine();
    engine->m_madeBy = allocator;
    return engine;
}

void* EffectEngine::DeletingDestructor(unsigned int flags) noexcept
{
    IAllocator* const madeBy = m_madeBy;
    this->~EffectEngine();
    if ((flags & kDeleteFreesMemory) != 0 && madeBy != nullptr)
        madeBy->Free(this);
    return this;
}

EffectEngine::~EffectEngine()
{
    releaseStages();
}

Result EffectEngine::Term(IAllocator* allocator) noexcept
{
    releaseStages();
    this->~EffectEngine();
    if (allocator != nullptr)
        allocator->Free(this);
    return Success;
}

Result EffectEngine::Reset() noexcept
{
    return Success;
}

Result EffectEngine::GetPluginInfo(PluginInfo& info) noexcept
{
    info.type = PluginType::Effect;
    info.buildVersion = kEngineBuildNumber;
    info.isInPlace = true;
    return Success;
}

Result EffectEngine::TimeSkip(std::uint32_t&) noexcept
{
    return DataReady;
}

bool EffectEngine::stageEnabled(int bit) const
{
    switch (bit)
    {
    case kFiltersBit: return m_params->filters.enable;
    case kDistortionBit: return m_params->distortion.enable;
    case kEqBit: return m_params->eq.enable;
    case kNoiseBit: return m_params->noise.enable;
    case kGateBit: return m_params->gate.enable;
    case kSimBit: return m_params->sim.enable;
    case kLoFiBit: return m_params->lofi.enable;
    default: return false;
    }
}

bool EffectEngine::stagePresent(int bit) const
{
    switch (bit)
    {
    case kFiltersBit: return m_filters.memory.present();
    case kDistortionBit: return m_distortion.memory.present();
    case kEqBit: return m_eq.memory.present();
    case kNoiseBit: return m_noise.memory.present();
    case kGateBit: return m_gate.memory.present();
    case kSimBit: return m_sim.memory.present();
    case kLoFiBit: return m_lofi.memory.present();
    default: return false;
    }
}

void EffectEngine::releaseStage(int bit)
{
    switch (bit)
    {
    case kFiltersBit: m_filters.memory.release(m_allocator); break;
    case kDistortionBit: m_distortion.memory.release(m_allocator); break;
    case kEqBit: m_eq.memory.release(m_allocator); break;
    case kNoiseBit: m_noise.memory.release(m_allocator); break;
    case kGateBit: m_gate.memory.release(m_allocator); break;
    case kSimBit: m_sim.memory.release(m_allocator); break;
    case kLoFiBit: m_lofi.memory.release(m_allocator); break;
    default: break;
    }
}

void EffectEngine::releaseStages()
{
    for (int bit : kStageOrder)
        releaseStage(bit);
}

bool EffectEngine::reallocateStage(int bit)
{
    releaseStage(bit);
    if (!stageEnabled(bit))
        return true;
    bool ok = false;
    switch (bit)
    {
    case kFiltersBit: ok = m_filters.memory.allocate(m_allocator, m_channels); break;
    case kDistortionBit: ok = m_distortion.memory.allocate(m_allocator, m_channels); break;
    case kEqBit: ok = m_eq.memory.allocate(m_allocator, m_channels); break;
    case kNoiseBit: ok = m_noise.memory.allocate(m_allocator, m_channels); break;
    case kGateBit: ok = m_gate.memory.allocate(m_allocator, m_channels); break;
    case kSimBit: ok = m_sim.memory.allocate(m_allocator, m_channels); break;
    case kLoFiBit: ok = m_lofi.memory.allocate(m_allocator, m_channels); break;
    default: break;
    }
    if (ok)
        setupStage(bit);
    return ok;
}

void EffectEngine::setupStage(int bit)
{
    const EngineParams& p = *m_params;
    const unsigned fs = m_sampleRate;
    // The Filters, EQ and SIM tails add their change to the processor's tail sum.
    auto retail = [this](std::int32_t& stageTail, std::int32_t tail) {
        m_tailSum += static_cast<std::int64_t>(tail) - stageTail;
        stageTail = tail;
    };
    switch (bit)
    {
    case kFiltersBit: retail(m_filtersTail, m_filters.setup(fs, p.filters, false)); break;
    case kDistortionBit: m_distortion.setup(fs, p.distortion, false); break;
    case kEqBit: retail(m_eqTail, m_eq.setup(fs, p.eq, false)); break;
    case kNoiseBit: m_noise.setup(fs, p.noise, false); break;
    case kGateBit: m_gate.setup(fs, p.gate, false); break;
    case kSimBit: retail(m_simTail, m_sim.setup(fs, p.sim, false)); break;
    case kLoFiBit: m_lofi.setup(fs, p.lofi, false); break;
    default: break;
    }
}

Result EffectEngine::Init(IAllocator* allocator, IProcessingContext* context, IEffectParams* params,
                          const AudioFormat& format) noexcept
{
    if (allocator == nullptr || params == nullptr || format.sampleRate == 0 || format.channelCount == 0 ||
        format.channelCount > kMaxChannels)
        return InvalidParameter;
    releaseStages();
    m_allocator = allocator;
    m_context = context;
    m_params = static_cast<EngineParams*>(params);
    m_sampleRate = format.sampleRate;
    m_channels = format.channelCount;
    m_tailRemaining = -1;

    Result result = Success;
    for (int bit : kStageOrder)
        if (!reallocateStage(bit))
            result = InsufficientMemory;

    m_prevInputGain = m_params->gains.inputGain;
    m_prevOutputGain = m_params->gains.outputGain;
    m_prevBalance = m_params->gains.balance;
    return result;
}

bool EffectEngine::runTail(AudioBuffer& buffer)
{
    if (buffer.state != NoMoreData)
    {
        m_tailRemaining = -1;
        return true;
    }
    if (m_tailRemaining == 0 && buffer.validFrames == 0)
        return false;
    if (m_tailRemaining == -1 || buffer.validFrames > 0)
    {
        m_tailRemaining = m_tailSum;
        m_tailRemembered = m_tailSum;
    }
    else if (m_tailSum > m_tailRemembered)
    {
        m_tailRemaining += m_tailSum - m_tailRemembered;
        m_tailRemembered = m_tailSum;
    }
    const std::uint32_t padded = buffer.maxFrames - buffer.validFrames;
    for (std::uint32_t c = 0; c < buffer.channelCount; ++c)
        std::fill(buffer.channel(c) + buffer.validFrames, buffer.channel(c) + buffer.maxFrames, 0.f);
    buffer.validFrames = buffer.maxFrames;
    m_tailRemaining = std::max<std::int64_t>(m_tailRemaining - padded, 0);
    if (m_tailRemaining > 0)
        buffer.state = DataReady;
    return true;
}

void EffectEngine::Execute(AudioBuffer& buffer) noexcept
{
    if (m_params == nullptr || buffer.data == nullptr)
        return;
    DenormalGuard denormals;
    buffer.validFrames = std::min(buffer.validFrames, buffer.maxFrames);

    // 1. Stages whose enable changed: free, and allocate afresh when now enabled. A stage
    //    whose allocation fails keeps its mark and is tried again with the next buffer.
    for (int bit : kStageOrder)
    {
        if ((m_params->enableMask & bit) == 0)
            continue;
        if (!reallocateStage(bit))
        {
            buffer.state = InsufficientMemory;
            return;
        }
        m_params->enableMask &= static_cast<std::uint8_t>(~bit);
    }

    // 2. Changed parameters of enabled stages.
    const bool changed[] = {m_params->filters.changed, m_params->distortion.changed, m_params->eq.changed,
                            m_params->noise.changed,   m_params->sim.changed,        m_params->gate.changed,
                            m_params->lofi.changed};
    for (std::size_t i = 0; i < std::size(kStageOrder); ++i)
        if (changed[i] && stageEnabled(kStageOrder[i]) && stagePresent(kStageOrder[i]))
            setupStage(kStageOrder[i]);
    m_params->clearChanged();

    // 3. End of input: pad with silence and play the tail.
    if (!runTail(buffer))
        return;
    const std::uint32_t frames = buffer.validFrames;
    if (frames == 0)
        return;

    // 4. Working memory: the dry signal of every channel, and the noise when it plays.
    const std::uint32_t channels = std::min(buffer.channelCount, m_channels);
    const bool noiseOn = stageEnabled(kNoiseBit) && stagePresent(kNoiseBit);
    ScratchBuffer dry(m_allocator, frames * channels);
    ScratchBuffer noise(m_allocator, frames * channels, noiseOn);
    if (dry.get() == nullptr || (noiseOn && noise.get() == nullptr))
    {
        buffer.state = InsufficientMemory;
        return;
    }
    const bool post = m_context != nullptr && m_context->CanPostMonitorData();
    alignas(4) unsigned char record[kMeterRecordHeaderBytes + kMeterBytesPerChannel * kMaxChannels];
    std::memcpy(record, &channels, sizeof channels);

    // 5. The chain. Channels never interact, so each stage runs over every channel at once
    //    (up to four in parallel); the noise is drawn channel after channel.
    const GainParams& g = m_params->gains;
    const BlockGains gains{m_prevInputGain,
                           g.inputGain,
                           wetOf(m_prevBalance, m_prevOutputGain),
                           wetOf(g.balance, g.outputGain),
                           dryOf(m_prevBalance),
                           dryOf(g.balance)};
    float* data[kMaxChannels];
    float meters[kMaxChannels][kMetersPerChannel];
    for (std::uint32_t c = 0; c < channels; ++c)
        data[c] = buffer.channel(c);
    processChannels(data, channels, frames, gains, dry.get(), noiseOn ? noise.get() : nullptr, meters);
    for (std::uint32_t c = 0; c < channels; ++c)
        std::memcpy(record + kMeterRecordHeaderBytes + c * kMeterBytesPerChannel, meters[c], sizeof meters[c]);

    // 6. The ramps end here; post the meters.
    m_prevInputGain = g.inputGain;
    m_prevOutputGain = g.outputGain;
    m_prevBalance = g.balance;
    if (post)
        m_context->PostMonitorData(record, kMeterRecordHeaderBytes + kMeterBytesPerChannel * channels);
}

void EffectEngine::processChannels(float* const* x, std::uint32_t channels, std::uint32_t frames,
                                   const BlockGains& gains, float* dry, float* noise,
                                   float (*meters)[kMetersPerChannel])
{
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        if (gains.inputFrom != gains.inputTo)
            blockmath::applyRamp(x[c], frames, gains.inputFrom, gains.inputTo);
        else if (gains.inputTo != 1.f)
            blockmath::applyGain(x[c], frames, gains.inputTo);
        meters[c][kMeterInput] = blockmath::peak(x[c], frames);
        std::memcpy(dry + static_cast<std::size_t>(c) * frames, x[c], sizeof(float) * frames);
    }

    if (m_params->filters.enable && m_filters.memory.present())
        m_filters.processChannels(x, channels, frames);
    if (m_params->distortion.enable && m_distortion.memory.present())
        m_distortion.processChannels(x, channels, frames);
    if (m_params->eq.enable && m_eq.memory.present())
        m_eq.processChannels(x, channels, frames);
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        meters[c][kMeterPreNoise] = blockmath::peak(x[c], frames);
        meters[c][kMeterNoise] = 0.f;
        meters[c][kMeterDucking] = 1.f;
    }

    if (noise != nullptr)
    {
        const float* random[kMaxChannels];
        for (std::uint32_t c = 0; c < channels; ++c)
        {
            random[c] = noise + static_cast<std::size_t>(c) * frames;
            m_random.fill(noise + static_cast<std::size_t>(c) * frames, frames);
        }
        m_noise.processChannels(x, random, channels, frames);
        for (std::uint32_t c = 0; c < channels; ++c)
        {
            meters[c][kMeterDucking] = m_noise.readMinGain(c);
            meters[c][kMeterNoise] = m_noise.readMaxNoise(c);
        }
    }

    if (m_params->sim.enable && m_sim.memory.present())
        m_sim.processChannels(x, channels, frames);
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        meters[c][kMeterPreGate] = blockmath::peak(x[c], frames);
        meters[c][kMeterGateGain] = 1.f;
    }

    if (m_params->gate.enable && m_gate.memory.present())
    {
        m_gate.processChannels(x, channels, frames);
        for (std::uint32_t c = 0; c < channels; ++c)
            meters[c][kMeterGateGain] = m_gate.minGain(c);
    }
    if (m_params->lofi.enable && m_lofi.memory.present())
        m_lofi.processChannels(x, channels, frames);

    for (std::uint32_t c = 0; c < channels; ++c)
    {
        blockmath::mix(x[c], dry + static_cast<std::size_t>(c) * frames, frames, gains.wetFrom, gains.wetTo,
                       gains.dryFrom, gains.dryTo);
        bool nonFinite = false;
        meters[c][kMeterOutput] = blockmath::peakAndCheck(x[c], frames, nonFinite);
        // A non-finite sample stays in the buffer it arrived in: silence it and start the
        // channel's stages afresh so the next buffer is clean.
        if (nonFinite)
        {
            blockmath::zeroNonFinite(x[c], frames);
            resetChannel(c);
        }
        for (float& m : meters[c])
            m = finiteOrZero(m);
    }
}

void EffectEngine::resetChannel(std::uint32_t c)
{
    if (m_filters.memory.present())
        m_filters.resetChannel(c);
    if (m_distortion.memory.present())
        m_distortion.resetChannel(c);
    if (m_eq.memory.present())
        m_eq.resetChannel(c);
    if (m_noise.memory.present())
        m_noise.resetChannel(c);
    if (m_sim.memory.present())
        m_sim.resetChannel(c);
    if (m_gate.memory.present())
        m_gate.resetChannel(c);
    if (m_lofi.memory.present())
        m_lofi.resetChannel(c);
}
