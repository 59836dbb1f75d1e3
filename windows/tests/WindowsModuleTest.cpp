// OrvexCrumlet.dll as the host loads it on Windows: what its PE image exports and imports,
// its start-up registration with QuarlSoundEngine.dll, its resources (the string table,
// dialog 104, the manifest) read through the system's own calls, the parameter block and
// the effect made through the registration record.
#include "host/PluginIds.h"
#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/PluginInstance.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"
#include "windows/tests/WindowsTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>

using namespace ZQ::Quarl;
using crumlet_windows_test::loadedModule;

namespace
{
const std::uint8_t* imageBase()
{
    return reinterpret_cast<const std::uint8_t*>(GetModuleHandleW(L"OrvexCrumlet.dll"));
}

const IMAGE_DATA_DIRECTORY& directory(int entry)
{
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(imageBase());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(imageBase() + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[entry];
}

TEST(WindowsModule, ExportsOnlyTheFactoryAndTheList)
{
    loadedModule();
    ASSERT_NE(imageBase(), nullptr);
    const IMAGE_DATA_DIRECTORY& entry = directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    ASSERT_NE(entry.VirtualAddress, 0u);
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(imageBase() + entry.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(imageBase() + exports->AddressOfNames);
    std::set<std::string> exported;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        exported.insert(reinterpret_cast<const char*>(imageBase() + names[i]));
    EXPECT_EQ(exported, (std::set<std::string>{"ZqCreatePlugin", "g_pZQPluginList"}));
    EXPECT_EQ(exports->NumberOfFunctions, 2u) << "nothing exported by ordinal only";
}

TEST(WindowsModule, ImportsOnlySystemLibraries)
{
    loadedModule();
    const IMAGE_DATA_DIRECTORY& entry = directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    ASSERT_NE(entry.VirtualAddress, 0u);
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    std::set<std::string> imported;
    for (const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(imageBase() + entry.VirtualAddress);
         d->Name != 0; ++d)
    {
        const std::string name = reinterpret_cast<const char*>(imageBase() + d->Name);
        imported.insert(name);
        const std::wstring path = std::wstring(system) + L"\\" + std::wstring(name.begin(), name.end());
        EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << name << " is not a system library";
    }
    EXPECT_EQ(imported.count("QuarlSoundEngine.dll"), 0u) << "the sound engine is found at start-up, not imported";
    for (const std::string& name : imported)
    {
        EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
        EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
        EXPECT_EQ(name.find("libwinpthread"), std::string::npos) << name;
    }
}

TEST(WindowsModule, StartUpRegistersOneRecordWithTheLoadedSoundEngine)
{
    const auto m = loadedModule();
    const PluginRegistration* head = m->registrationList();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->next, nullptr);
    EXPECT_EQ(head->type, 3u);
    EXPECT_EQ(head->companyId, kOrvexCompanyId);
    EXPECT_EQ(head->pluginId, kCrumletPluginId);
    EXPECT_EQ(head->reserved, nullptr);
    EXPECT_EQ(quarl::SoundEngine::instance().find(kOrvexCompanyId, kCrumletPluginId), head);
}

TEST(WindowsModule, DisplayNamesComeFromTheStringTable)
{
    quarl::PluginInstance instance(loadedModule());
    EXPECT_EQ(instance.displayName("EQQ"), L"EQ Q factor");
    EXPECT_EQ(instance.displayName("NoiseThresh"), L"Noise generator threshold");
    EXPECT_EQ(instance.displayName("NULL"), L"");
    std::set<std::wstring> names;
    for (const auto& property : loadedModule()->description().properties)
        names.insert(instance.displayName(property.name));
    EXPECT_EQ(names.size(), 40u);
    EXPECT_EQ(names.count(L""), 0u);

    // A buffer length of 0: the system's string loading hands back the resource itself.
    const wchar_t* text = nullptr;
    ASSERT_TRUE(instance.plugin().GetPropertyDisplayName(L"EQQ", reinterpret_cast<LPWSTR>(&text), 0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wstring(text, 11), L"EQ Q factor");
    const HINSTANCE resources = instance.plugin().GetResourceModule();
    EXPECT_EQ(resources, GetModuleHandleW(L"OrvexCrumlet.dll"));
}

// Reads the little-endian field at `offset` of a resource.
template <typename T>
T field(const std::uint8_t* data, std::size_t offset)
{
    T value{};
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

TEST(WindowsModule, Dialog104IsAnEmptyExtendedTemplate)
{
    quarl::PluginInstance instance(loadedModule());
    UINT id = 0;
    void* table = nullptr;
    ASSERT_TRUE(instance.plugin().GetDialogResource(0, id, table));
    const HMODULE module = instance.plugin().GetResourceModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5)); // RT_DIALOG
    ASSERT_NE(found, nullptr);
    const auto* t = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(field<WORD>(t, 0), 1) << "version 1";
    EXPECT_EQ(field<WORD>(t, 2), 0xFFFF) << "an extended template";
    EXPECT_EQ(field<DWORD>(t, 4), 0u) << "help id";
    EXPECT_EQ(field<DWORD>(t, 8), 0u) << "extended style";
    EXPECT_EQ(field<DWORD>(t, 12), 0x42000048u) << "WS_CHILD | WS_CLIPCHILDREN | DS_SETFONT | DS_FIXEDSYS";
    EXPECT_EQ(field<WORD>(t, 16), 0) << "no controls";
    EXPECT_EQ(field<short>(t, 18), 0);
    EXPECT_EQ(field<short>(t, 20), 0);
    EXPECT_EQ(field<short>(t, 22), 552);
    EXPECT_EQ(field<short>(t, 24), 299);
    EXPECT_EQ(field<WORD>(t, 26), 0) << "no menu";
    EXPECT_EQ(field<WORD>(t, 28), 0) << "the default class";
    EXPECT_EQ(field<WORD>(t, 30), 0) << "an empty title";
    EXPECT_EQ(field<WORD>(t, 32), 8) << "8 point";
    EXPECT_EQ(field<WORD>(t, 34), 0) << "weight";
    EXPECT_EQ(t[36], 0) << "not italic";
    EXPECT_EQ(t[37], 0) << "character set";
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(t + 38)), L"MS Shell Dlg");
}

TEST(WindowsModule, ManifestRunsAsInvokerAndIsDpiAware)
{
    const HMODULE module = GetModuleHandleW(L"OrvexCrumlet.dll");
    loadedModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(text, SizeofResource(module, found));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
}

TEST(WindowsModule, BlockAtTheDefaults)
{
    quarl::PluginInstance instance(loadedModule());
    const auto block = instance.writeBankBlock();
    ASSERT_EQ(block.size(), 139u);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin() + 5, block.begin() + 9), (std::vector<std::uint8_t>{0x00, 0xA0, 0x8C, 0x46}));
    EXPECT_EQ(std::vector<std::uint8_t>(block.end() - 4, block.end()), (std::vector<std::uint8_t>{0x00, 0x00, 0xC8, 0x42}));
}

TEST(WindowsModule, TheRecordMakesAWorkingEffect)
{
    const auto m = loadedModule();
    quarl::PluginInstance instance(m);
    ASSERT_TRUE(instance.properties().set("DistortionAmount", 40));
    const auto block = instance.writeBankBlock();
    quarl::HostAllocator allocator;
    quarl::ProcessingContext context;
    quarl::EffectInstance effect(*m->registrationList(), allocator, &context);
    ASSERT_EQ(effect.create(block.data(), static_cast<std::uint32_t>(block.size()), AudioFormat{48000, 2}), Success);
    quarl::AudioBufferStorage storage(2, 256);
    for (std::uint32_t c = 0; c < 2; ++c)
        for (std::uint32_t i = 0; i < 256; ++i)
            storage.channel(c)[i] = 0.5f * std::sin(0.05f * static_cast<float>(i * (c + 1)));
    storage.buffer().validFrames = 256;
    effect.effect()->Execute(storage.buffer());
    double energy = 0;
    for (std::uint32_t i = 0; i < 256; ++i)
    {
        ASSERT_TRUE(std::isfinite(storage.channel(0)[i]));
        energy += storage.channel(0)[i] * storage.channel(0)[i];
    }
    EXPECT_GT(energy, 0.0);
    ASSERT_EQ(context.records().size(), 1u);
    EXPECT_EQ(context.records()[0].size(), 60u) << "a two-channel meter record";
    effect.destroy();
    EXPECT_EQ(allocator.liveBlocks(), 0u);
}
} // namespace
