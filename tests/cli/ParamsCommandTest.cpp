#include "cli/commands/ParamsCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

TEST(ParamsCommand, ListsTheFortyPropertiesWithDisplayNamesFromThePlugin)
{
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(runParams(true), 0);
    const auto params = nlohmann::json::parse(::testing::internal::GetCapturedStdout());
    ASSERT_EQ(params.size(), 40u);

    // Host order starts with the Filters and ends with the gains.
    EXPECT_EQ(params.front()["name"], "FiltersEnable");
    EXPECT_EQ(params.back()["name"], "Balance");

    const auto find = [&](const std::string& name) {
        for (const auto& p : params)
            if (p["name"] == name)
                return p;
        return nlohmann::json();
    };
    const auto eqq = find("EQQ");
    EXPECT_EQ(eqq["id"], 63);
    EXPECT_EQ(eqq["displayName"], "EQ Q factor");
    EXPECT_EQ(eqq["type"], "float");
    EXPECT_EQ(eqq["steps"], 0);

    const auto mode = find("DistortionMode");
    EXPECT_EQ(mode["steps"], 10);
    EXPECT_EQ(mode["values"][3], "LoFi");
    EXPECT_EQ(mode["displayName"], "Distortion mode");
    // The editor's legend, accepted for the name.
    EXPECT_EQ(find("DistortionAmount")["alias"], "DRIVE");
    EXPECT_EQ(find("NoiseThresh")["alias"], "DUCK");
    EXPECT_TRUE(find("EQFreq")["alias"].is_null());

    const auto level = find("NoiseLevel");
    EXPECT_EQ(level["min"], -96.0);
    EXPECT_EQ(level["default"], -96.0);
    EXPECT_EQ(level["unit"], "dB");

    const auto gate = find("GateEnable");
    EXPECT_EQ(gate["type"], "bool");
    EXPECT_EQ(gate["steps"], 2);
    EXPECT_EQ(gate["default"], 1.0);
    EXPECT_EQ(find("SIMType")["values"].size(), 164u);
    for (const auto& p : params)
        EXPECT_FALSE(p["displayName"].get<std::string>().empty()) << p["name"];
}
