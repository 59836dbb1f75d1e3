// Shared by the Windows test programs: the module they load, found where the build puts it
// (..\module\OrvexCrumlet.dll beside the programs' folder).
#pragma once

#include "quarl/ModuleLoader.h"

#include <windows.h>

#include <filesystem>
#include <memory>

namespace crumlet_windows_test
{
inline std::string modulePath()
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return (std::filesystem::path(exe).parent_path().parent_path() / "module" / "OrvexCrumlet.dll").string();
}

// Loaded once, with the sound engine library this program imports already in the process.
inline std::shared_ptr<quarl::PluginModule> loadedModule()
{
    static const std::shared_ptr<quarl::PluginModule> module = quarl::PluginModule::load(modulePath());
    return module;
}
} // namespace crumlet_windows_test
