#include "quarl/SoundEngine.h"

#include <algorithm>

using namespace ZQ::Quarl;

namespace quarl
{
SoundEngine& SoundEngine::instance()
{
    static SoundEngine engine;
    return engine;
}

Result SoundEngine::registerPlugins(PluginRegistration* head)
{
    for (const PluginRegistration* r = head; r != nullptr; r = r->next)
        if (std::find(m_records.begin(), m_records.end(), r) == m_records.end())
            m_records.push_back(r);
    return Success;
}

const PluginRegistration* SoundEngine::find(std::uint32_t companyId, std::uint32_t pluginId) const
{
    for (const PluginRegistration* r : m_records)
        if (r->type == static_cast<std::uint32_t>(PluginType::Effect) && r->companyId == companyId &&
            r->pluginId == pluginId)
            return r;
    return nullptr;
}

EffectInstance::EffectInstance(const PluginRegistration& record, IAllocator& allocator, IProcessingContext* context)
    : m_record(record), m_allocator(allocator), m_context(context)
{
}

EffectInstance::~EffectInstance()
{
    destroy();
}

Result EffectInstance::create(const void* block, std::uint32_t bytes, const AudioFormat& format)
{
    destroy();
    if (m_record.createParams == nullptr || m_record.createEffect == nullptr)
        return InvalidParameter;
    m_params = m_record.createParams(&m_allocator);
    if (m_params == nullptr)
        return InsufficientMemory;
    Result r = m_params->Init(&m_allocator, block, bytes);
    if (r != Success)
        return r;
    m_effect = m_record.createEffect(&m_allocator);
    if (m_effect == nullptr)
        return InsufficientMemory;
    return m_effect->Init(&m_allocator, m_context, m_params, format);
}

void EffectInstance::destroy()
{
    if (m_effect != nullptr)
        m_effect->Term(&m_allocator);
    if (m_params != nullptr)
        m_params->Term(&m_allocator);
    m_effect = nullptr;
    m_params = nullptr;
}
} // namespace quarl

extern "C" Result RegisterQuarlPlugin20192(PluginRegistration* head)
{
    return quarl::SoundEngine::instance().registerPlugins(head);
}
