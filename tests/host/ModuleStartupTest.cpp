// Loading the module into a process without the host's sound engine library: start-up
// skips the registration silently and the module works. This program links nothing of
// the stand-in host, so the sound engine library is not loaded.
#include "ZQ/QuarlPlugin.h"
#include "ZQ/QuarlSoundEngine.h"
#include "host/PluginIds.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>

using namespace ZQ::Quarl;

namespace
{
bool soundEngineLoaded()
{
    void* engine = dlopen("libQuarlSoundEngine.so", RTLD_NOW | RTLD_NOLOAD);
    if (engine != nullptr)
        dlclose(engine);
    return engine != nullptr;
}

TEST(ModuleWithoutSoundEngine, LoadsAndKeepsItsRecordToItself)
{
    ASSERT_FALSE(soundEngineLoaded());
    void* module = dlopen(CRUMLET_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    EXPECT_FALSE(soundEngineLoaded()) << "start-up did not find the library and did not fail";

    auto** list = static_cast<PluginRegistration**>(dlsym(module, "g_pZQPluginList"));
    ASSERT_NE(list, nullptr);
    const PluginRegistration* head = *list;
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->next, nullptr);
    EXPECT_EQ(head->type, static_cast<std::uint32_t>(PluginType::Effect));
    EXPECT_EQ(head->companyId, kOrvexCompanyId);
    EXPECT_EQ(head->pluginId, kCrumletPluginId);
    EXPECT_EQ(head->reserved, nullptr);

    void* factory = dlsym(module, "ZqCreatePlugin");
    ASSERT_NE(factory, nullptr);
    ZqCreatePluginFn create = nullptr;
    std::memcpy(&create, &factory, sizeof create);
    IAudioPlugin* plugin = create();
    ASSERT_NE(plugin, nullptr);
    UINT dialog = 0;
    void* table = nullptr;
    EXPECT_TRUE(plugin->GetDialogResource(0, dialog, table));
    EXPECT_EQ(dialog, 104u);
    plugin->DestroyPlugin();

    EXPECT_EQ(dlsym(module, "RegisterQuarlPlugin20192"), nullptr);
}
} // namespace
