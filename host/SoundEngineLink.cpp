#include "host/SoundEngineLink.h"

#include "platform/DynamicLibrary.h"

#include <cstring>

bool registerWithSoundEngine(LPCWSTR library, ZQ::Quarl::PluginRegistration* list)
{
    if (list == nullptr)
        return false;
    HMODULE engine = LoadLibraryW(library);
    if (engine == nullptr)
        return false;
    const FARPROC entry = GetProcAddress(engine, ZQ::Quarl::kRegisterEntryPoint);
    if (entry == nullptr)
        return false;
    ZQ::Quarl::RegisterPluginsFn registerPlugins = nullptr;
    static_assert(sizeof registerPlugins == sizeof entry, "entry point size");
    std::memcpy(&registerPlugins, &entry, sizeof registerPlugins);
    registerPlugins(list);
    return true;
}
