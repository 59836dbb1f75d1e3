#include "quarl/ModuleLoader.h"

#include "platform/DynamicLibrary.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <cstring>

namespace quarl
{
namespace
{
#if defined(_WIN32)
void* openLibrary(const std::string& path)
{
    return LoadLibraryW(platform::fromUtf8(path).c_str());
}

std::string lastError()
{
    return "error " + std::to_string(GetLastError());
}

void* findSymbol(void* library, const char* name)
{
    const FARPROC symbol = GetProcAddress(static_cast<HMODULE>(library), name);
    void* address = nullptr;
    std::memcpy(&address, &symbol, sizeof address);
    return address;
}
#else
void* openLibrary(const std::string& path)
{
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

std::string lastError()
{
    const char* reason = dlerror();
    return reason != nullptr ? reason : "unknown reason";
}

void* findSymbol(void* library, const char* name)
{
    return dlsym(library, name);
}
#endif
} // namespace

std::shared_ptr<PluginModule> PluginModule::load(const std::string& modulePath, const std::string& description)
{
    std::shared_ptr<PluginModule> module(new PluginModule());
    module->m_path = modulePath;
    module->m_description =
        PluginDescription::load(description.empty() ? descriptionPathFor(modulePath) : description);

    module->m_handle = openLibrary(modulePath);
    if (module->m_handle == nullptr)
        throw ModuleError("cannot load \"" + modulePath + "\": " + lastError());
    void* create = findSymbol(module->m_handle, "ZqCreatePlugin");
    void* list = findSymbol(module->m_handle, "g_pZQPluginList");
    if (create == nullptr || list == nullptr)
        throw ModuleError("\"" + modulePath + "\" does not export " +
                          (create == nullptr ? "ZqCreatePlugin" : "g_pZQPluginList"));
    static_assert(sizeof module->m_create == sizeof create, "function and data pointers differ in size");
    std::memcpy(&module->m_create, &create, sizeof create);
    module->m_list = static_cast<ZQ::Quarl::PluginRegistration**>(list);
    return module;
}

std::string PluginModule::descriptionPathFor(const std::string& modulePath)
{
    const auto slash = modulePath.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    if (file.rfind("lib", 0) == 0)
        file.erase(0, 3);
    const auto dot = file.find('.');
    if (dot != std::string::npos)
        file.erase(dot);
    return dir + file + ".json";
}

PluginPtr PluginModule::createPlugin() const
{
    return PluginPtr(m_create());
}

ZQ::Quarl::PluginRegistration* PluginModule::registrationList() const
{
    return *m_list;
}
} // namespace quarl
