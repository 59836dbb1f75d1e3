#include "engine/EffectEngine.h"

#include "engine/BlockMath.h"
#include "engine/DenormalGuard.h"
#include "engine/HostAllocation.h"
#include "engine/stages/StagePairs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

using namespace ZQ::Quarl;

namespace
{
// Every entry of the list is a stage, with a switch of its own in the enable mask.
template <typename... S>
constexpr bool areStages(const std::tuple<S...>*)
{
    return (std::is_base_of_v<Stage<typename S::Channel, typename S::Params>, S> && ...) &&
           (enableBitOf<typename S::Params>() | ...) == kAllStagesMask &&
           (enableBitOf<typename S::Params>() + ...) == kAllStagesMask;
}
static_assert(areStages(static_cast<const EngineStages*>(nullptr)), "EngineStages lists stages, one per switch");

// The position of the stage's first parameter in host order.
constexpr std::size_t hostOrderOf(ParameterStage stage)
{
    std::size_t i = 0;
    while (g_parameterDefinitions[i].stage != stage)
        ++i;
    return i;
}

// The chain runs the stages in the order in which the parameter table (the parameter block)
// lists them.
template <typename... S>
constexpr bool inHostOrder(const std::tuple<S...>*)
{
    const std::size_t order[] = {hostOrderOf(S::Params::kStage)...};
    for (std::size_t i = 1; i < sizeof...(S); ++i)
        if (order[i - 1] >= order[i])
            return false;
    return true;
}
static_assert(inHostOrder(static_cast<const EngineStages*>(nullptr)),
              "EngineStages runs the stages in the order of the parameter table");

float wetOf(float balance, float outputGain)
{
    return balance * 0.01f * outputGain;
}

float dryOf(float balance)
{
    return 1.f - balance * 0.01f;
}

// What follows the last stage.
struct NoStage
{
};

template <std::size_t I, typename Stages>
auto* stageAfter(Stages& stages)
{
    if constexpr (I + 1 < std::tuple_size_v<Stages>)
        return &std::get<I + 1>(stages);
    else
        return static_cast<NoStage*>(nullptr);
}

template <typename Stages, typename Fn, std::size_t... I>
void forEachWithNext(Stages& stages, Fn& fn, std::index_sequence<I...>)
{
    (fn(std::get<I>(stages), stageAfter<I>(stages)), ...);
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
    return HostAllocation::make<EffectEngine>(allocator);
}

void* EffectEngine::DeletingDestructor(unsigned int flags) noexcept
{
    return HostAllocation::destroy(this, flags);
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

template <typename Fn>
void EffectEngine::forEachStage(Fn&& fn)
{
    std::apply([&fn](auto&... stage) { (fn(stage), ...); }, m_stages);
}

template <typename Fn>
void EffectEngine::forEachStageAndNext(Fn&& fn)
{
    forEachWithNext(m_stages, fn, std::make_index_sequence<std::tuple_size_v<EngineStages>>{});
}

template <typename Stage, typename Next>
bool EffectEngine::runStage(Stage& stage, Next* next, const ChannelBlock& block)
{
    if constexpr (RunsTogether<Stage, Next>::value)
        if (runs(*next))
        {
            runTogether(stage, *next, block);
            return true;
        }
    stage.processChannels(block);
    return false;
}

template <typename Fn>
bool EffectEngine::everyStage(Fn&& fn)
{
    return std::apply([&fn](auto&... stage) { return (fn(stage) && ...); }, m_stages);
}

template <typename Stage>
bool EffectEngine::runs(const Stage& stage)
{
    return m_params->group<typename Stage::Params>().enable && stage.present();
}

template <typename Stage>
bool EffectEngine::reallocate(Stage& stage)
{
    stage.release(m_allocator);
    const auto& p = m_params->group<typename Stage::Params>();
    if (!p.enable)
        return true;
    if (!stage.allocate(m_allocator, m_channels))
        return false;
    stage.setup(m_sampleRate, p);
    return true;
}

void EffectEngine::releaseStages()
{
    forEachStage([this](auto& stage) { stage.release(m_allocator); });
}

std::int64_t EffectEngine::tailSum() const
{
    // Each stage keeps the tail of its last set-up, also while it is off.
    return std::apply([](const auto&... stage) { return (std::int64_t{0} + ... + stage.tail()); }, m_stages);
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
    forEachStage([&](auto& stage) {
        if (!reallocate(stage))
            result = InsufficientMemory;
    });

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
    const std::int64_t sum = tailSum();
    if (m_tailRemaining == -1 || buffer.validFrames > 0)
    {
        m_tailRemaining = sum;
        m_tailRemembered = sum;
    }
    else if (sum > m_tailRemembered)
    {
        m_tailRemaining += sum - m_tailRemembered;
        m_tailRemembered = sum;
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
    //    whose allocation fails keeps its mark, and so do the stages after it; they are
    //    tried again with the next buffer.
    const bool allocated = everyStage([this](auto& stage) {
        constexpr std::uint8_t bit = enableBitOf<typename std::decay_t<decltype(stage)>::Params>();
        if ((m_params->enableMask & bit) == 0)
            return true;
        if (!reallocate(stage))
            return false;
        m_params->enableMask &= static_cast<std::uint8_t>(~bit);
        return true;
    });
    if (!allocated)
    {
        buffer.state = InsufficientMemory;
        return;
    }

    // 2. Changed parameters of enabled stages.
    forEachStage([this](auto& stage) {
        const auto& p = m_params->group<typename std::decay_t<decltype(stage)>::Params>();
        if (p.changed && runs(stage))
            stage.setup(m_sampleRate, p);
    });
    m_params->clearChanged();

    // 3. End of input: pad with silence and play the tail.
    if (!runTail(buffer))
        return;
    const std::uint32_t frames = buffer.validFrames;
    if (frames == 0)
        return;

    // 4. Working memory: the dry signal of every channel, and what the running stages ask
    //    for (the noise generator's noise).
    const std::uint32_t channels = std::min(buffer.channelCount, m_channels);
    std::size_t scratchFloats = 0;
    forEachStage([&](auto& stage) {
        if (runs(stage))
            scratchFloats += stage.scratchFloats(static_cast<std::size_t>(frames) * channels);
    });
    ScratchBuffer dry(m_allocator, frames * channels);
    ScratchBuffer scratch(m_allocator, static_cast<std::uint32_t>(scratchFloats), scratchFloats > 0);
    if (dry.get() == nullptr || (scratchFloats > 0 && scratch.get() == nullptr))
    {
        buffer.state = InsufficientMemory;
        return;
    }
    const bool post = m_context != nullptr && m_context->CanPostMonitorData();
    alignas(4) unsigned char record[kMeterRecordHeaderBytes + kMeterBytesPerChannel * kMaxChannels];
    std::memcpy(record, &channels, sizeof channels);

    // 5. The chain. Channels never interact, so each stage runs over every channel at once
    //    (up to four in parallel).
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
    processChannels(data, channels, frames, gains, dry.get(), scratch.get(), meters);
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
                                   const BlockGains& gains, float* dry, float* scratch,
                                   float (*meters)[kMetersPerChannel])
{
    for (std::uint32_t c = 0; c < channels; ++c)
    {
        std::copy(std::begin(kMeterStartValues), std::end(kMeterStartValues), meters[c]);
        if (gains.inputFrom != gains.inputTo)
            blockmath::applyRamp(x[c], frames, gains.inputFrom, gains.inputTo);
        else if (gains.inputTo != 1.f)
            blockmath::applyGain(x[c], frames, gains.inputTo);
        meters[c][kMeterInput] = blockmath::peak(x[c], frames);
        std::memcpy(dry + static_cast<std::size_t>(c) * frames, x[c], sizeof(float) * frames);
    }

    // Whether this stage already ran, in one loop with the stage before it.
    bool ranWithPrevious = false;
    forEachStageAndNext([&](auto& stage, auto* next) {
        using Stage = std::decay_t<decltype(stage)>;
        if constexpr (Stage::kInputPeakMeter >= 0)
            for (std::uint32_t c = 0; c < channels; ++c)
                meters[c][Stage::kInputPeakMeter] = blockmath::peak(x[c], frames);
        if (!std::exchange(ranWithPrevious, false))
        {
            if (!runs(stage))
                return;
            const std::size_t wanted = stage.scratchFloats(static_cast<std::size_t>(frames) * channels);
            ranWithPrevious = runStage(stage, next, ChannelBlock{x, channels, frames, wanted > 0 ? scratch : nullptr});
            scratch += wanted;
        }
        for (std::uint32_t c = 0; c < channels; ++c)
            stage.readMeters(c, meters[c]);
    });

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
    forEachStage([c](auto& stage) {
        if (stage.present())
            stage.resetChannel(c);
    });
}
