// The module's start-up order: the application object starts only once every static of
// the module is ready. A sound engine that calls back into the module while it registers
// (ProbeSoundEngine, loaded with this program as the host's engine is) must find the
// parameter and display-name tables, the string table and the registration record complete.
#include "tests/host/startup/ProbeSoundEngine.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace
{
TEST(ModuleStartUpOrder, ACallbackDuringRegistrationFindsTheModuleComplete)
{
    ASSERT_EQ(probeReport()->registrations, 0);
    void* module = dlopen(CRUMLET_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    const ProbeReport& report = *probeReport();
    EXPECT_EQ(report.registrations, 1);
    EXPECT_EQ(report.records, 1);
    EXPECT_TRUE(report.paramsFromDefaults);
    EXPECT_EQ(report.eqqDisplayName, u"EQ Q factor");
    EXPECT_EQ(report.balanceDisplayName, u"Balance");
}
} // namespace
