// The application object's start: it hands the registration list to the sound engine
// library, and stops when there is no record to hand over.
#include "host/ModuleRegistration.h"
#include "host/OrvexCrumletApp.h"
#include "quarl/SoundEngine.h"

#include <gtest/gtest.h>

using namespace ZQ::Quarl;

namespace
{
// A record of ids no module uses.
PluginRegistration g_startRecord = {nullptr, static_cast<std::uint32_t>(PluginType::Effect), 0xA11, 0xC0DE,
                                    nullptr, nullptr, nullptr};

// Puts the list head back however the test ends.
struct ListHeadRestorer
{
    PluginRegistration* saved = g_pZQPluginList;
    ~ListHeadRestorer() { g_pZQPluginList = saved; }
};

TEST(ApplicationStart, WithoutARecordItStopsAndStillSucceeds)
{
    ListHeadRestorer restore;
    g_pZQPluginList = nullptr;
    COrvexCrumletApp app;
    const std::size_t before = quarl::SoundEngine::instance().recordCount();
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(g_pZQPluginList, nullptr) << "start-up links nothing itself";
    EXPECT_EQ(quarl::SoundEngine::instance().recordCount(), before);
}

TEST(ApplicationStart, HandsTheListToTheLoadedSoundEngine)
{
    ListHeadRestorer restore;
    g_pZQPluginList = &g_startRecord;
    COrvexCrumletApp app;
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(quarl::SoundEngine::instance().find(0xA11, 0xC0DE), &g_startRecord);
}
} // namespace
