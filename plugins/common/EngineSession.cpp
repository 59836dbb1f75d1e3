#include "plugins/common/EngineSession.h"

#include "engine/DawTail.h"

#include "engine/EffectEngine.h"
#include "host/ModuleRegistration.h"
#include "host/PluginIds.h"
#include "params/ParameterBlock.h"
#include "params/ValueCodec.h"

#include <algorithm>
#include <cstring>
#include <new>

using namespace ZQ::Quarl;

namespace plugins
{
// Serves the effect's memory without going to the system on the audio thread: blocks of up
// to one full buffer's samples come from a pool made up front and go back to it (the
// working memory of every buffer, small stage states); larger ones, and any beyond the
// pool, from the system (a stage's state when it is switched on).
class EngineSession::Allocator final : public IAllocator
{
public:
    Allocator(std::size_t blockBytes, std::size_t blocks)
        : m_blockBytes((blockBytes + kAlignment - 1) / kAlignment * kAlignment), m_blocks(blocks),
          m_pool(static_cast<unsigned char*>(::operator new(m_blockBytes * blocks, std::align_val_t{kAlignment}))),
          m_free(blocks)
    {
        for (std::size_t i = 0; i < blocks; ++i)
            m_free[i] = m_pool + i * m_blockBytes;
        m_freeCount = blocks;
    }
    ~Allocator() { ::operator delete(m_pool, std::align_val_t{kAlignment}); }
    Allocator(const Allocator&) = delete;
    Allocator& operator=(const Allocator&) = delete;

    void* Malloc(std::size_t bytes) override
    {
        if (bytes <= m_blockBytes && m_freeCount > 0)
            return m_free[--m_freeCount];
        ++systemAllocations;
        return ::operator new(std::max<std::size_t>(bytes, 1), std::align_val_t{kAlignment}, std::nothrow);
    }

    void Free(void* pointer) override
    {
        const auto* p = static_cast<unsigned char*>(pointer);
        if (p >= m_pool && p < m_pool + m_blockBytes * m_blocks)
            m_free[m_freeCount++] = static_cast<unsigned char*>(pointer);
        else if (pointer != nullptr)
            ::operator delete(pointer, std::align_val_t{kAlignment});
    }

    std::uint64_t systemAllocations = 0;

private:
    static constexpr std::size_t kAlignment = 64;
    std::size_t m_blockBytes;
    std::size_t m_blocks;
    unsigned char* m_pool;
    std::vector<unsigned char*> m_free;
    std::size_t m_freeCount = 0;
};

// Keeps the meters of the record the effect posts after each buffer, and passes the record on.
class EngineSession::Context final : public IProcessingContext
{
public:
    explicit Context(MeterReading& meters) : m_meters(meters) {}

    // The next record starts a new buffer's meters; until then records fold into them.
    void startBuffer() { m_folding = false; }

    void PostMonitorData(const void* data, std::uint32_t bytes) override
    {
        std::uint32_t channels = 0;
        if (bytes < kMeterRecordHeaderBytes)
            return;
        std::memcpy(&channels, data, sizeof channels);
        if (bytes < kMeterRecordHeaderBytes + channels * kMeterBytesPerChannel)
            return;
        MeterReading r{0.f, 0.f, 1.f, 1.f};
        const auto* values = static_cast<const unsigned char*>(data) + kMeterRecordHeaderBytes;
        for (std::uint32_t c = 0; c < channels; ++c)
        {
            float m[kMetersPerChannel];
            std::memcpy(m, values + c * kMeterBytesPerChannel, sizeof m);
            r.input = std::max(r.input, m[kMeterInput]);
            r.output = std::max(r.output, m[kMeterOutput]);
            r.noiseDucking = std::min(r.noiseDucking, m[kMeterDucking]);
            r.gateGain = std::min(r.gateGain, m[kMeterGateGain]);
        }
        if (m_folding)
            r = {std::max(r.input, m_meters.input), std::max(r.output, m_meters.output),
                 std::min(r.noiseDucking, m_meters.noiseDucking), std::min(r.gateGain, m_meters.gateGain)};
        m_meters = r;
        m_folding = true;
        if (listener != nullptr)
            listener->meterRecordPosted(data, bytes);
    }
    bool CanPostMonitorData() override { return true; }

    MeterRecordListener* listener = nullptr;

private:
    MeterReading& m_meters;
    bool m_folding = false;
};

namespace
{
// The effect and its parameters, seven stages' states and a buffer's working memory, with room
// to spare.
constexpr std::size_t kPoolBlocks = 16;

const PluginRegistration* crumletRecord()
{
    linkModuleRegistration();
    for (const PluginRegistration* r = g_pZQPluginList; r != nullptr; r = r->next)
        if (r->companyId == kOrvexCompanyId && r->pluginId == kCrumletPluginId)
            return r;
    return nullptr;
}

} // namespace

EngineSession::EngineSession(std::uint32_t sampleRate, std::uint32_t channels)
    : m_channels(channels),
      m_allocator(new Allocator(sizeof(float) * kMaxBufferFrames * std::max<std::uint32_t>(channels, 1), kPoolBlocks)),
      m_context(new Context(m_meters)),
      m_buffer(static_cast<std::size_t>(channels) * kMaxBufferFrames, 0.f)
{
    const PluginRegistration* record = crumletRecord();
    if (record == nullptr)
        return;
    m_params = record->createParams(m_allocator);
    if (m_params == nullptr || m_params->Init(m_allocator, nullptr, 0) != Success)
        return;
    IEffectPlugin* effect = record->createEffect(m_allocator);
    if (effect == nullptr)
        return;
    if (effect->Init(m_allocator, m_context, m_params, AudioFormat{sampleRate, channels}) != Success)
    {
        effect->Term(m_allocator);
        return;
    }
    m_effect = effect;
}

EngineSession::~EngineSession()
{
    if (m_effect != nullptr)
        m_effect->Term(m_allocator);
    if (m_params != nullptr)
        m_params->Term(m_allocator);
    delete m_context;
    delete m_allocator;
}

std::size_t EngineSession::indexOf(const std::string& name)
{
    const ParameterDefinition* d = findParameterByName(name);
    return d != nullptr ? static_cast<std::size_t>(d - g_parameterDefinitions.data()) : kParameterCount;
}

std::uint64_t EngineSession::systemAllocations() const
{
    return m_allocator->systemAllocations;
}

std::int64_t EngineSession::tailFrames() const
{
    const auto* engine = dynamic_cast<const EffectEngine*>(m_effect);
    return engine != nullptr ? dawTailFrames(engine->tailSum()) : 0;
}

void EngineSession::setMeterRecordListener(MeterRecordListener* listener)
{
    m_context->listener = listener;
}

void EngineSession::setAll(const std::array<float, kParameterCount>& hostOrderValues)
{
    if (m_params == nullptr)
        return;
    const auto block = parameterBlockOf(hostOrderValues);
    m_params->SetParamsBlock(block.data(), static_cast<std::uint32_t>(block.size()));
    m_ramps.reset(hostOrderValues);
}

void EngineSession::set(std::size_t hostIndex, float value)
{
    if (m_params == nullptr || hostIndex >= kParameterCount)
        return;
    if (!m_ramps.rampTo(hostIndex, value))
        send(hostIndex, value);
}

void EngineSession::setAtOnce(std::size_t hostIndex, float value)
{
    if (m_params == nullptr || hostIndex >= kParameterCount)
        return;
    m_ramps.hold(hostIndex, value);
    send(hostIndex, value);
}

void EngineSession::send(std::size_t hostIndex, float value)
{
    // The value the host's property holds (a switch's 0 or 1, a list's entry), carried as the
    // parameter's updates carry it.
    const ParameterDefinition& p = g_parameterDefinitions[hostIndex];
    std::uint8_t bytes[kMaxValueBytes];
    const std::size_t size = encodeValue(p.update, carriedValue(p.hostType, value), bytes);
    m_params->SetParam(p.id, bytes, static_cast<std::uint32_t>(size));
}

void EngineSession::process(float* const* channels, std::uint32_t frames)
{
    if (m_effect == nullptr)
        return;
    m_context->startBuffer();
    if (!m_ramps.moving())
    {
        play(channels, 0, frames, kMaxBufferFrames);
        return;
    }
    // Each sub-block after the moving values' next step; a buffer of no frames takes the
    // new values at once.
    const std::uint32_t steps = std::max(ParameterRamps::stepsFor(frames), 1u);
    for (std::uint32_t step = 0; step < steps; ++step)
    {
        m_ramps.forEachStep(step, steps, [this](std::size_t index, float value) { send(index, value); });
        const std::uint32_t from = step * ParameterRamps::kStepFrames;
        play(channels, from, std::min(ParameterRamps::kStepFrames, frames - std::min(from, frames)),
             ParameterRamps::kStepFrames);
    }
    m_ramps.arrive();
}

void EngineSession::play(float* const* channels, std::uint32_t from, std::uint32_t frames, std::uint32_t most)
{
    for (std::uint32_t done = from; done < from + frames;)
    {
        const std::uint32_t n = std::min(most, from + frames - done);
        for (std::uint32_t c = 0; c < m_channels; ++c)
            std::copy(channels[c] + done, channels[c] + done + n, m_buffer.data() + c * kMaxBufferFrames);
        AudioBuffer buffer;
        buffer.channelCount = m_channels;
        buffer.maxFrames = kMaxBufferFrames;
        buffer.validFrames = n;
        buffer.state = Success;
        buffer.data = m_buffer.data();
        m_effect->Execute(buffer);
        for (std::uint32_t c = 0; c < m_channels; ++c)
            std::copy(m_buffer.data() + c * kMaxBufferFrames, m_buffer.data() + c * kMaxBufferFrames + n,
                      channels[c] + done);
        done += n;
    }
}
} // namespace plugins
