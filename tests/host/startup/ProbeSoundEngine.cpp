#include "tests/host/startup/ProbeSoundEngine.h"

#include "ZQ/QuarlPlugin.h"
#include "ZQ/QuarlSoundEngine.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

using namespace ZQ::Quarl;

namespace
{
ProbeReport g_report;

class MallocAllocator final : public IAllocator
{
public:
    void* Malloc(std::size_t bytes) override { return std::malloc(bytes); }
    void Free(void* pointer) override { std::free(pointer); }
};

std::u16string displayName(IAudioPlugin& plugin, LPCWSTR name)
{
    WCHAR buffer[64] = {};
    if (!plugin.GetPropertyDisplayName(name, buffer, 64))
        return u"(none)";
    return buffer;
}

// The module that owns `list`, as it is being loaded.
void* moduleOf(const PluginRegistration* list)
{
    Dl_info info{};
    if (dladdr(list, &info) == 0 || info.dli_fname == nullptr)
        return nullptr;
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}
} // namespace

extern "C" __attribute__((visibility("default"))) Result RegisterQuarlPlugin20192(PluginRegistration* head)
{
    ++g_report.registrations;
    for (const PluginRegistration* r = head; r != nullptr; r = r->next)
        ++g_report.records;
    if (head == nullptr)
        return InvalidParameter;

    MallocAllocator allocator;
    if (IEffectParams* params = head->createParams(&allocator))
    {
        g_report.paramsFromDefaults = params->Init(&allocator, nullptr, 0) == Success;
        params->Term(&allocator);
    }

    if (void* module = moduleOf(head))
    {
        void* factory = dlsym(module, "ZqCreatePlugin");
        ZqCreatePluginFn create = nullptr;
        std::memcpy(&create, &factory, sizeof create);
        if (IAudioPlugin* plugin = create != nullptr ? create() : nullptr)
        {
            g_report.eqqDisplayName = displayName(*plugin, u"EQQ");
            g_report.balanceDisplayName = displayName(*plugin, u"Balance");
            plugin->DestroyPlugin();
        }
        dlclose(module);
    }
    return Success;
}

const ProbeReport* probeReport()
{
    return &g_report;
}
