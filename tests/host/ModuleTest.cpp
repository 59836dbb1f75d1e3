// The module as the host loads it: its dynamic symbols, its start-up registration with the
// sound engine library, its factory, and the way back from the plugin object's block to
// the effect the sound engine makes from the module's record.
#include "engine/EffectEngine.h"
#include "engine/EngineParams.h"
#include "host/PluginIds.h"
#include "params/ParameterTable.h"
#include "platform/DynamicLibrary.h"
#include "quarl/AudioBufferStorage.h"
#include "quarl/HostAllocator.h"
#include "quarl/HostWindow.h"
#include "quarl/ModuleLoader.h"
#include "quarl/PluginInstance.h"
#include "quarl/ProcessingContext.h"
#include "quarl/SoundEngine.h"
#include "tests/host/ModuleTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace crumlet_module_test;
using namespace ZQ::Quarl;

namespace
{
std::shared_ptr<quarl::PluginModule> module()
{
    static const std::shared_ptr<quarl::PluginModule> loaded = quarl::PluginModule::load(CRUMLET_MODULE_PATH);
    return loaded;
}

// The names `nm -D --defined-only` lists for a file.
std::set<std::string> definedDynamicSymbols(const std::string& path)
{
    std::set<std::string> names;
    const std::string command = std::string(CRUMLET_NM) + " -D --defined-only \"" + path + "\"";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return names;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr)
    {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        const auto space = text.find_last_of(' ');
        if (space != std::string::npos)
            names.insert(text.substr(space + 1));
    }
    pclose(pipe);
    return names;
}

TEST(ModuleSymbols, OnlyTheFactoryAndTheListAreExported)
{
    EXPECT_EQ(definedDynamicSymbols(CRUMLET_MODULE_PATH), (std::set<std::string>{"ZqCreatePlugin", "g_pZQPluginList"}));
}

// Lines a command prints.
std::vector<std::string> outputOf(const std::string& command)
{
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return lines;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr)
        lines.emplace_back(line);
    pclose(pipe);
    return lines;
}

TEST(ModuleStartUp, TheApplicationStartsAfterEveryOtherStaticInitialiser)
{
    // The loader runs .init_array from first to last: its last entry must be the start-up's.
    std::vector<std::uint8_t> entries;
    for (const std::string& line : outputOf(std::string(CRUMLET_OBJDUMP) + " -s -j .init_array \"" +
                                            CRUMLET_MODULE_PATH + "\""))
    {
        if (line.empty() || line[0] != ' ') // the section's rows only: " ADDRESS WORD WORD WORD WORD  TEXT"
            continue;
        unsigned address = 0;
        char words[4][9] = {};
        const int n = std::sscanf(line.c_str(), " %x %8s %8s %8s %8s", &address, words[0], words[1], words[2], words[3]);
        for (int w = 0; w + 1 < n && std::strspn(words[w], "0123456789abcdef") == 8; ++w)
            for (int b = 0; b < 8; b += 2)
                entries.push_back(static_cast<std::uint8_t>(std::stoul(std::string(words[w] + b, 2), nullptr, 16)));
    }
    ASSERT_GE(entries.size(), 16u);
    ASSERT_EQ(entries.size() % 8, 0u);
    std::uint64_t last = 0;
    for (int b = 7; b >= 0; --b)
        last = (last << 8) | entries[entries.size() - 8 + static_cast<std::size_t>(b)];

    std::string starter;
    for (const std::string& line : outputOf(std::string(CRUMLET_NM) + " \"" + CRUMLET_MODULE_PATH + "\""))
    {
        unsigned long long address = 0;
        char type = 0;
        char name[2048] = {};
        if (std::sscanf(line.c_str(), "%llx %c %2047s", &address, &type, name) == 3 && address == last &&
            std::string(name).rfind("_GLOBAL__sub_I_", 0) == 0)
            starter = name;
    }
    EXPECT_EQ(starter, "_GLOBAL__sub_I_ModuleStart.cpp") << "the last static initialiser of the module";
}

TEST(ModuleStartUp, RegistersOneRecordWithTheLoadedSoundEngine)
{
    const auto m = module();
    const PluginRegistration* head = m->registrationList();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->next, nullptr) << "exactly one record";
    EXPECT_EQ(head->type, 3u);
    EXPECT_EQ(head->companyId, kOrvexCompanyId);
    EXPECT_EQ(head->pluginId, kCrumletPluginId);
    EXPECT_NE(head->createEffect, nullptr);
    EXPECT_NE(head->createParams, nullptr);
    EXPECT_EQ(head->reserved, nullptr);

    // The module found the sound engine this program loaded and handed it that record.
    EXPECT_EQ(quarl::SoundEngine::instance().find(m->description().companyId, m->description().pluginId), head);
}

TEST(ModuleStartUp, LoadingAgainChangesNothing)
{
    const PluginRegistration* head = module()->registrationList();
    const std::size_t records = quarl::SoundEngine::instance().recordCount();
    const auto again = quarl::PluginModule::load(CRUMLET_MODULE_PATH);
    EXPECT_EQ(again->registrationList(), head);
    EXPECT_EQ(head->next, nullptr);
    EXPECT_EQ(quarl::SoundEngine::instance().recordCount(), records);
}

TEST(ModuleFactory, EveryCallMakesANewObject)
{
    const auto m = module();
    quarl::PluginPtr first = m->createPlugin();
    quarl::PluginPtr second = m->createPlugin();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
}

TEST(ModuleDescription, ShippedBesideTheModuleMatchesItsRecord)
{
    const auto m = module();
    EXPECT_EQ(m->description().module, "OrvexCrumlet");
    EXPECT_EQ(m->description().companyId, kOrvexCompanyId);
    EXPECT_EQ(m->description().pluginId, kCrumletPluginId);
    EXPECT_EQ(m->description().properties.size(), kParameterCount);
}

TEST(LoadedPlugin, AnswersFromTheModulesOwnResources)
{
    quarl::PluginInstance instance(module());
    EXPECT_EQ(instance.displayName("EQQ"), u"EQ Q factor");
    EXPECT_EQ(instance.displayName("NULL"), u"");
    const HINSTANCE resources = instance.plugin().GetResourceModule();
    EXPECT_NE(resources, nullptr);
    EXPECT_NE(resources, platform::thisModule()) << "the module's handle, not this program's";
    UINT dialog = 0;
    void* table = nullptr;
    EXPECT_TRUE(instance.plugin().GetDialogResource(0, dialog, table));
    EXPECT_EQ(dialog, 104u);
}

TEST(LoadedPlugin, SendsHelpToTheHostsWindow)
{
    quarl::PluginInstance instance(module());
    quarl::HostWindow window;
    EXPECT_FALSE(instance.plugin().ShowHelp(window.handle(), 1));
    EXPECT_TRUE(window.messages().empty());
    EXPECT_TRUE(instance.plugin().ShowHelp(window.handle(), 0));
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].message, 0x4981u);
    EXPECT_EQ(window.messages()[0].wParam, 114u);
}

TEST(LoadedPlugin, BlockAtTheDefaults)
{
    quarl::PluginInstance instance(module());
    const auto block = instance.writeBankBlock();
    ASSERT_EQ(block.size(), 139u);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(floatAt(block, 5), 18000.f);
    EXPECT_EQ(floatAt(block, 135), 100.f);
}

TEST(LoadedPlugin, InstancesKeepTheirOwnValues)
{
    quarl::PluginInstance first(module()), second(module());
    ASSERT_TRUE(first.properties().set("SIMType", 99));
    EXPECT_EQ(intAt(first.writeBankBlock(), 85), 99);
    EXPECT_EQ(intAt(second.writeBankBlock(), 85), 0);
}

// Runs one stereo buffer of a fixed signal through an effect.
std::vector<float> runOnce(IEffectPlugin& effect)
{
    quarl::AudioBufferStorage storage(2, 256);
    for (std::uint32_t c = 0; c < 2; ++c)
        for (std::uint32_t i = 0; i < 256; ++i)
            storage.channel(c)[i] = 0.5f * std::sin(0.05f * static_cast<float>(i * (c + 1)));
    storage.buffer().validFrames = 256;
    storage.buffer().state = Success;
    effect.Execute(storage.buffer());
    return std::vector<float>(storage.channel(0), storage.channel(0) + 512);
}

TEST(LoadedPlugin, ItsBlockDrivesTheModulesEffectAsItDrivesTheEngine)
{
    const auto m = module();
    quarl::PluginInstance instance(m);
    auto& props = instance.properties();
    ASSERT_TRUE(props.set("DistortionMode", 2));
    ASSERT_TRUE(props.set("DistortionAmount", 40));
    ASSERT_TRUE(props.set("EQFreq", 2500));
    ASSERT_TRUE(props.set("EQGain", 6));
    ASSERT_TRUE(props.set("SIMType", 12));
    ASSERT_TRUE(props.set("NoiseEnable", 0));
    ASSERT_TRUE(props.set("LoFiBitDepthType", 9));
    ASSERT_TRUE(props.set("InputGain", -3));
    const auto block = instance.writeBankBlock();
    const auto bytes = static_cast<std::uint32_t>(block.size());

    // The effect made through the module's record, held by the sound engine library.
    const PluginRegistration* record = quarl::SoundEngine::instance().find(m->description().companyId,
                                                                           m->description().pluginId);
    ASSERT_NE(record, nullptr);
    quarl::HostAllocator allocator;
    quarl::ProcessingContext context;
    quarl::EffectInstance loaded(*record, allocator, &context);
    ASSERT_EQ(loaded.create(block.data(), bytes, AudioFormat{48000, 2}), Success);

    // The same code built into this program, from the same block.
    quarl::HostAllocator localAllocator;
    EngineParams* params = EngineParams::create(&localAllocator);
    ASSERT_EQ(params->Init(&localAllocator, block.data(), bytes), Success);
    EXPECT_EQ(params->distortion.mode, 2);
    EXPECT_EQ(params->sim.type, 12);
    quarl::ProcessingContext localContext;
    EffectEngine* local = EffectEngine::create(&localAllocator);
    ASSERT_EQ(local->Init(&localAllocator, &localContext, params, AudioFormat{48000, 2}), Success);

    EXPECT_EQ(runOnce(*loaded.effect()), runOnce(*local));
    ASSERT_EQ(context.records().size(), 1u);
    EXPECT_EQ(context.records()[0].size(), 60u) << "a two-channel meter record";
    EXPECT_EQ(context.records(), localContext.records());

    local->Term(&localAllocator);
    params->Term(&localAllocator);
    loaded.destroy();
    EXPECT_EQ(allocator.liveBlocks(), 0u);
    EXPECT_EQ(localAllocator.liveBlocks(), 0u);
}

TEST(ModuleLoader, MissingModulesAndDescriptionsAreReported)
{
    EXPECT_THROW(quarl::PluginModule::load("/nonexistent/libOrvexCrumlet.so", CRUMLET_DESCRIPTION_SOURCE),
                 quarl::ModuleError);
    EXPECT_THROW(quarl::PluginModule::load(CRUMLET_MODULE_PATH, "/nonexistent/OrvexCrumlet.json"),
                 quarl::DescriptionError);
    // A library that is no plugin module.
    EXPECT_THROW(quarl::PluginModule::load("libm.so.6", CRUMLET_DESCRIPTION_SOURCE), quarl::ModuleError);
}

TEST(ModuleLoader, DescriptionLivesBesideTheModule)
{
    EXPECT_EQ(quarl::PluginModule::descriptionPathFor("/a/b/libOrvexCrumlet.so"), "/a/b/OrvexCrumlet.json");
    EXPECT_EQ(quarl::PluginModule::descriptionPathFor("libOrvexCrumlet.so"), "OrvexCrumlet.json");
    EXPECT_EQ(quarl::PluginModule::descriptionPathFor("/a/Other.dll"), "/a/Other.json");
}
} // namespace
