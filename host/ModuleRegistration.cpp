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

// Constant-initialised, so it is complete before any static initialiser runs.
PluginRegistration g_registration = {nullptr, static_cast<std::uint32_t>(PluginType::Effect), kOrvexCompanyId,
                                     kCrumletPluginId, &createEffect, &createParams, nullptr};

// Links the record before the module's start-up runs.
struct RegistrationLink
{
    RegistrationLink() { linkModuleRegistration(); }
} g_link;
} // namespace

void linkModuleRegistration()
{
    for (const PluginRegistration* r = g_pZQPluginList; r != nullptr; r = r->next)
        if (r == &g_registration)
            return;
    g_registration.next = g_pZQPluginList;
    g_pZQPluginList = &g_registration;
}
