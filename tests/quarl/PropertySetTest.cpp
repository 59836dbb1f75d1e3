// The stand-in host's property set: defaults from the description, values per platform,
// conversion into each property's type, game-driven properties, change groups, the host
// query and change notifications.
#include "quarl/PropertySet.h"
#include "tests/host/ModuleTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace crumlet_module_test;

namespace
{
const GUID kOtherPlatform = {0xA1B2C3D4, 0x1111, 0x2222, {9, 8, 7, 6, 5, 4, 3, 2}};

class PropertySetTest : public ::testing::Test
{
protected:
    PropertySetTest() : set(shippedDescription()) {}

    VARIANT held(LPCWSTR name, const GUID& platform = quarl::kAuthoringPlatform)
    {
        VARIANT v{};
        EXPECT_TRUE(set.GetValue(platform, name, v));
        return v;
    }

    quarl::PropertySet set;
};

TEST_F(PropertySetTest, StartsAtTheDescribedDefaultsInTheirTypes)
{
    const VARIANT enable = held(u"FiltersEnable");
    EXPECT_EQ(enable.vt, VT_BOOL);
    EXPECT_EQ(enable.boolVal, VARIANT_TRUE);
    const VARIANT type = held(u"EQFilterType");
    EXPECT_EQ(type.vt, VT_I4);
    EXPECT_EQ(type.lVal, 1);
    const VARIANT freq = held(u"FiltersLPFFreq");
    EXPECT_EQ(freq.vt, VT_R4);
    EXPECT_EQ(freq.fltVal, 18000.f);
    EXPECT_EQ(set.value("GateAttackTime"), 1.0);
    EXPECT_EQ(set.value("NoiseLevel"), -96.0);
    EXPECT_EQ(set.value("Balance"), 100.0);
    GUID current{};
    set.GetCurrentPlatform(current);
    EXPECT_EQ(std::memcmp(&current, &quarl::kAuthoringPlatform, sizeof current), 0);
}

TEST_F(PropertySetTest, UnknownNamesAreNoProperties)
{
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = 1234;
    EXPECT_FALSE(set.GetValue(quarl::kAuthoringPlatform, u"NULL", v));
    EXPECT_FALSE(set.GetValue(quarl::kAuthoringPlatform, u"eqfreq", v));
    EXPECT_FALSE(set.GetValue(quarl::kAuthoringPlatform, nullptr, v));
    EXPECT_EQ(v.lVal, 1234) << "left untouched";
    EXPECT_FALSE(set.SetValue(quarl::kAuthoringPlatform, u"NULL", quarl::makeFloat(1.f)));
    EXPECT_FALSE(set.set("NoSuchProperty", 1.0));
    EXPECT_TRUE(std::isnan(set.value("NoSuchProperty")));
    EXPECT_EQ(set.writeCount(), 0u);
}

TEST_F(PropertySetTest, WritesAreConvertedToThePropertysType)
{
    const GUID& p = quarl::kAuthoringPlatform;
    EXPECT_TRUE(set.SetValue(p, u"GateEnable", quarl::makeInt(0)));
    EXPECT_EQ(held(u"GateEnable").vt, VT_BOOL);
    EXPECT_EQ(held(u"GateEnable").boolVal, VARIANT_FALSE);
    EXPECT_TRUE(set.SetValue(p, u"GateEnable", quarl::makeInt(1)));
    EXPECT_EQ(held(u"GateEnable").boolVal, VARIANT_TRUE);

    // Floats become integers rounding half to even, as the host's conversion does.
    EXPECT_TRUE(set.SetValue(p, u"SIMType", quarl::makeFloat(2.5f)));
    EXPECT_EQ(held(u"SIMType").vt, VT_I4);
    EXPECT_EQ(held(u"SIMType").lVal, 2);
    EXPECT_TRUE(set.SetValue(p, u"SIMType", quarl::makeFloat(3.5f)));
    EXPECT_EQ(held(u"SIMType").lVal, 4);

    EXPECT_TRUE(set.SetValue(p, u"EQFreq", quarl::makeInt(2000)));
    EXPECT_EQ(held(u"EQFreq").vt, VT_R4);
    EXPECT_EQ(held(u"EQFreq").fltVal, 2000.f);
}

TEST_F(PropertySetTest, ValuesAreBroughtIntoRange)
{
    EXPECT_TRUE(set.set("EQFreq", 50000));
    EXPECT_EQ(set.value("EQFreq"), 12000.0);
    EXPECT_TRUE(set.set("SIMType", -3));
    EXPECT_EQ(set.value("SIMType"), 0.0);
    EXPECT_TRUE(set.set("GateAttackTime", 0.0));
    EXPECT_EQ(set.value("GateAttackTime"), static_cast<double>(0.1f));
    EXPECT_TRUE(set.set("InputGain", std::numeric_limits<double>::infinity()));
    EXPECT_EQ(set.value("InputGain"), 24.0);
}

TEST_F(PropertySetTest, ValuesThatAreNoNumbersAreRefused)
{
    VARIANT empty{};
    VariantInit(&empty);
    const auto before = set.writeCount();
    EXPECT_FALSE(set.SetValue(quarl::kAuthoringPlatform, u"EQFreq", empty));
    EXPECT_FALSE(set.SetValue(quarl::kAuthoringPlatform, u"EQFreq",
                              quarl::makeFloat(std::numeric_limits<float>::quiet_NaN())));
    EXPECT_FALSE(set.set("EQFreq", std::nan("")));
    EXPECT_EQ(set.value("EQFreq"), 1000.0);
    EXPECT_EQ(set.writeCount(), before);
}

TEST_F(PropertySetTest, EachPlatformHasItsOwnValues)
{
    EXPECT_TRUE(set.SetValue(kOtherPlatform, u"EQGain", quarl::makeFloat(-6.f)));
    EXPECT_EQ(held(u"EQGain", kOtherPlatform).fltVal, -6.f);
    EXPECT_EQ(held(u"EQGain").fltVal, 0.f);
    EXPECT_EQ(held(u"EQFreq", kOtherPlatform).fltVal, 1000.f) << "others stay at their defaults";

    set.setCurrentPlatform(kOtherPlatform);
    EXPECT_EQ(set.value("EQGain"), -6.0);
    GUID current{};
    set.GetCurrentPlatform(current);
    EXPECT_EQ(std::memcmp(&current, &kOtherPlatform, sizeof current), 0);

    set.resetToDefaults();
    EXPECT_EQ(set.value("EQGain"), 0.0);
}

TEST_F(PropertySetTest, GameDrivenPropertiesAreMarkedByName)
{
    EXPECT_FALSE(set.IsRTPC(u"EQFreq"));
    set.setRTPC("EQFreq", true);
    EXPECT_TRUE(set.IsRTPC(u"EQFreq"));
    EXPECT_FALSE(set.IsRTPC(u"EQGain"));
    EXPECT_FALSE(set.IsRTPC(nullptr));
    // The host still stores writes to them; keeping editors off them is the plugin's part.
    EXPECT_TRUE(set.set("EQFreq", 500));
    EXPECT_EQ(set.value("EQFreq"), 500.0);
    set.setRTPC("EQFreq", false);
    EXPECT_FALSE(set.IsRTPC(u"EQFreq"));
}

TEST_F(PropertySetTest, ChangeGroupsAreRecordedInOrder)
{
    ZQ::Quarl::IChangeGroup* group = set.GetChangeGroup(62);
    ASSERT_NE(group, nullptr);
    group->OpenGroup(0);
    group->OpenGroup(3);
    EXPECT_EQ(set.openChangeGroups(), 2);
    set.GetChangeGroup(63)->CloseGroup(u"EQQ", 0);
    set.GetChangeGroup(62)->CloseGroup(u"EQFreq", 1);
    EXPECT_EQ(set.openChangeGroups(), 0);
    set.GetChangeGroup(1)->CloseGroup(nullptr, 0);
    EXPECT_EQ(set.openChangeGroups(), 0) << "never below zero";

    const auto& events = set.changeGroupEvents();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[1].kind, quarl::ChangeGroupEvent::Kind::Opened);
    EXPECT_EQ(events[1].flags, 3);
    EXPECT_EQ(events[2].kind, quarl::ChangeGroupEvent::Kind::Closed);
    EXPECT_EQ(events[2].paramId, 63);
    EXPECT_EQ(events[2].label, "EQQ");
    EXPECT_EQ(events[3].label, "EQFreq");
    EXPECT_EQ(events[3].flags, 1);
    EXPECT_EQ(events[4].label, "");

    set.setChangeGroupsAvailable(false);
    EXPECT_EQ(set.GetChangeGroup(62), nullptr);
}

TEST_F(PropertySetTest, HostQueryAnswersAndRemembers)
{
    std::uint32_t first = 9, second = 9, third = 9;
    set.QueryHost(5, first, second, third);
    EXPECT_EQ(first, 5u);
    EXPECT_EQ(second, 0u);
    EXPECT_EQ(third, 0u);
    set.setQueryAnswer(0xDEADBEEF);
    set.QueryHost(6, first, second, third);
    EXPECT_EQ(second, 0xDEADBEEFu);
    EXPECT_EQ(set.queries(), (std::vector<std::uint32_t>{5, 6}));
}

TEST_F(PropertySetTest, StoredChangesAreAnnounced)
{
    std::vector<std::u16string> announced;
    set.setChangeListener([&](const GUID&, LPCWSTR name) { announced.emplace_back(name); });
    set.set("EQFreq", 500);
    set.SetValue(kOtherPlatform, u"SIMType", quarl::makeInt(3));
    set.set("NoSuchProperty", 1);
    set.set("EQFreq", std::nan(""));
    EXPECT_EQ(announced, (std::vector<std::u16string>{u"EQFreq", u"SIMType"}));
    EXPECT_EQ(set.writeCount(), 2u);
}
} // namespace
