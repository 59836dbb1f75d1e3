// Handing a registration list to the host's sound engine library by its Windows name.
#include "host/SoundEngineLink.h"
#include "quarl/SoundEngine.h"

#include <gtest/gtest.h>

using namespace ZQ::Quarl;

namespace
{
// A record of ids no module uses, so that it cannot be taken for the effect's.
PluginRegistration g_testRecord = {nullptr, static_cast<std::uint32_t>(PluginType::Effect), 0xFEED, 0xBEEF,
                                   nullptr, nullptr, nullptr};

TEST(SoundEngineLink, ReachesTheLoadedEngine)
{
    EXPECT_TRUE(registerWithSoundEngine(kSoundEngineLibrary, &g_testRecord));
    EXPECT_EQ(quarl::SoundEngine::instance().find(0xFEED, 0xBEEF), &g_testRecord);
}

TEST(SoundEngineLink, AMissingEngineOrEntryPointIsNoError)
{
    EXPECT_FALSE(registerWithSoundEngine(u"NoSuchSoundEngine.dll", &g_testRecord));
    EXPECT_FALSE(registerWithSoundEngine(u"libm.so.6", &g_testRecord)) << "a library without the entry point";
    EXPECT_FALSE(registerWithSoundEngine(kSoundEngineLibrary, nullptr)) << "nothing to register";
}
} // namespace
