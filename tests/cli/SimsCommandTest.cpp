#include "cli/commands/SimsCommand.h"
#include "params/ValueLists.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

TEST(SimsCommand, JsonListsEveryModelWithItsSectionsAndLevel)
{
    ::testing::internal::CaptureStdout();
    SimsOptions options;
    options.json = true;
    ASSERT_EQ(runSims(options), 0);
    const auto models = nlohmann::json::parse(::testing::internal::GetCapturedStdout());
    ASSERT_EQ(models.size(), 164u);
    for (std::size_t m = 0; m < models.size(); ++m)
    {
        const auto& model = models[m];
        EXPECT_EQ(model["index"], m);
        EXPECT_EQ(model["name"], g_deviceNames[m]);
        EXPECT_FALSE(model["category"].get<std::string>().empty()) << m;
        ASSERT_EQ(model["sections"].size(), 7u);
        EXPECT_GE(model["tags"].size(), 2u) << m;
    }
    // Model 4 as voiced: a tuned 169 Hz high-pass with damping 0.51 and a -6.6 dB level.
    const auto& boombox = models[4];
    EXPECT_EQ(boombox["levelDb"], -6.6);
    EXPECT_EQ(boombox["sections"][0]["kind"], "HighPass2");
    EXPECT_EQ(boombox["sections"][0]["frequencyHz"], 169.0);
    EXPECT_EQ(boombox["sections"][0]["arguments"]["damping"], 0.51);
    EXPECT_EQ(boombox["sections"][0]["tuned"], true);
    EXPECT_EQ(boombox["sections"][1]["tuned"], false);
    EXPECT_EQ(models[1]["levelDb"], 0.0); // played at its own gain
}
