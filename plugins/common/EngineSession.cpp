#include "plugins/common/EngineSession.h"

#include "engine/EffectEngine.h"
#include "host/ModuleRegistration.h"
#include "host/PluginIds.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace ZQ::Quarl;

namespace plugins
{
class EngineSession::Allocator final : public IAllocator
{
public:
    void* Malloc(std::size_t bytes) override { return std::malloc(bytes); }
    void Free(void* pointer) override { std::free(pointer); }
};

// Keeps the meters of the record the effect posts after each buffer, and passes the record on.
class EngineSession::Context final : public IProcessingContext
{
public:
    explicit Context(MeterReading& meters) : m_meters(meters) {}

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
        m_meters = r;
        if (listener != nullptr)
            listener->meterRecordPosted(data, bytes);
    }
    bool CanPostMonitorData() override { return true; }

    MeterRecordListener* listener = nullptr;

private:
    MeterReading& m_meters;
};

namespace
{
const PluginRegistration* crumletRecord()
{
    linkModuleRegistration();
    for (const PluginRegistration* r = g_pZQPluginList; r != nullptr; r = r->next)
        if (r->companyId == kOrvexCompanyId && r->pluginId == kCrumletPluginId)
            return r;
    return nullptr;
}

// A value as the parameter object takes it: a one-byte switch, a whole number or a float.
void encode(HostType type, float value, unsigned char* out)
{
    switch (type)
    {
    case HostType::Bool: out[0] = value >= 0.5f ? 1 : 0; break;
    case HostType::Int: {
        const auto v = static_cast<std::int32_t>(std::lround(std::isfinite(value) ? value : 0.f));
        std::memcpy(out, &v, 4);
        break;
    }
    case HostType::Float: std::memcpy(out, &value, 4); break;
    }
}
} // namespace

EngineSession::EngineSession(std::uint32_t sampleRate, std::uint32_t channels)
    : m_channels(channels), m_allocator(new Allocator), m_context(new Context(m_meters)),
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

std::array<std::uint8_t, kParameterBlockSize> EngineSession::blockOf(const std::array<float, kParameterCount>& values)
{
    std::array<std::uint8_t, kParameterBlockSize> block{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
        encode(g_parameterDefinitions[i].hostType, values[i], block.data() + blockOffsetOf(i));
    return block;
}

std::array<float, kParameterCount> EngineSession::valuesOf(const std::uint8_t (&block)[kParameterBlockSize])
{
    std::array<float, kParameterCount> values{};
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const std::uint8_t* at = block + blockOffsetOf(i);
        switch (g_parameterDefinitions[i].hostType)
        {
        case HostType::Bool: values[i] = at[0] != 0 ? 1.f : 0.f; break;
        case HostType::Int: {
            std::int32_t v;
            std::memcpy(&v, at, 4);
            values[i] = static_cast<float>(v);
            break;
        }
        case HostType::Float: std::memcpy(&values[i], at, 4); break;
        }
    }
    return values;
}

std::int64_t EngineSession::tailFrames() const
{
    const auto* engine = dynamic_cast<const EffectEngine*>(m_effect);
    return engine != nullptr ? engine->tailSum() : 0;
}

void EngineSession::setMeterRecordListener(MeterRecordListener* listener)
{
    m_context->listener = listener;
}

void EngineSession::setAll(const std::array<float, kParameterCount>& hostOrderValues)
{
    if (m_params == nullptr)
        return;
    const auto block = blockOf(hostOrderValues);
    m_params->SetParamsBlock(block.data(), static_cast<std::uint32_t>(block.size()));
}

void EngineSession::set(std::size_t hostIndex, float value)
{
    if (m_params == nullptr || hostIndex >= kParameterCount)
        return;
    const ParameterDefinition& p = g_parameterDefinitions[hostIndex];
    unsigned char bytes[4] = {};
    encode(p.hostType, value, bytes);
    m_params->SetParam(p.id, bytes, static_cast<std::uint32_t>(blockSizeOf(p.hostType)));
}

void EngineSession::process(float* const* channels, std::uint32_t frames)
{
    if (m_effect == nullptr)
        return;
    for (std::uint32_t done = 0; done < frames;)
    {
        const std::uint32_t n = std::min(kMaxBufferFrames, frames - done);
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
