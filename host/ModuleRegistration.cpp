#include "host/ModuleRegistration.h"

#include "engine/EffectEngine.h"
#include "engine/EngineParams.h"
#include "host/PluginIds.h"

using namespace ZQ::Quarl;

extern "C" {
CRUMLET_EXPORT PluginRegistration* g_pZQPluginList = nullptr;
}

namespace
{
IEffectPlugin* createEffect(IAllocator* allocator)
{
    return EffectEngine::create(allocator);
}

IEffectParams* createParams(IAllocator* allocator)
{
    return EngineParams::create(allocator);
}

PluginRegistration g_registration = {nullptr, static_cast<std::uint32_t>(PluginType::Effect), kOrvexCompanyId,
                                     kCrumletPluginId, &createEffect, &createParams, nullptr};

// Links the record in front of the list before the module's start-up runs.
struct RegistrationLink
{
    RegistrationLink()
    {
        g_registration.next = g_pZQPluginList;
        g_pZQPluginList = &g_registration;
    }
} g_link;
} // namespace
