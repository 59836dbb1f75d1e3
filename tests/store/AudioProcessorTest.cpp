// The parameter store over a host property set: typed reads, the writes it makes, the
// game-parameter (RTPC) guard, value texts, table accessors and change groups.
#include "store/AudioProcessor.h"
#include "params/ParameterTable.h"
#include "params/ValueLists.h"
#include "platform/DynamicLibrary.h"
#include "quarl/PropertySet.h"
#include "tests/host/ModuleTestSupport.h"
#include "tests/params/RawPropertySet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace crumlet_module_test;
namespace P = ParamId;

namespace
{
// The store as the plugin object completes it, without the plugin object's overrides.
class Store final : public AudioProcessor
{
public:
    void DestroyPlugin() noexcept override {}
    int getNumParameters() override { return 77; }
    std::vector<std::string> getParameterValueList(ParameterId id) override { return valueListOf(id); }
};

class StoreOverHost : public ::testing::Test
{
protected:
    StoreOverHost() : properties(shippedDescription()) { store.AttachPropertySet(&properties); }

    quarl::PropertySet properties;
    Store store;
};

TEST(StoreWithoutPropertySet, ReadsNothingAndDropsWrites)
{
    Store store;
    EXPECT_EQ(store.getParameterValue(P::EQFreq), 0.f);
    EXPECT_EQ(store.getParameterInt(P::SIMType), 0);
    EXPECT_EQ(store.getParameterListIndex(P::SIMType), 0);
    EXPECT_FALSE(store.getParameterBool(P::GateEnable));
    EXPECT_FALSE(store.isParameterRTPC(P::EQFreq));
    EXPECT_EQ(store.getParameterText(P::EQFreq), "0.00");
    store.setParameterValue(P::EQFreq, 500.f);
    store.setParameterVariant(P::EQFreq, quarl::makeFloat(500.f));
    store.beginParameterGesture(P::EQFreq);
    store.endParameterGesture(P::EQFreq);
    EXPECT_EQ(store.getParameterValue(P::EQFreq), 0.f);
    // The table needs no host.
    EXPECT_EQ(store.getParameterDefault(P::EQFreq), 1000.f);
}

TEST_F(StoreOverHost, ReadsEveryHostTypeAtItsDefault)
{
    // A switch that is on is VARIANT_TRUE (−1).
    EXPECT_EQ(store.getParameterValue(P::GateEnable), -1.f);
    EXPECT_TRUE(store.getParameterBool(P::GateEnable));
    EXPECT_EQ(store.getParameterValue(P::EQFilterType), 1.f);
    EXPECT_EQ(store.getParameterInt(P::EQFilterType), 1);
    EXPECT_EQ(store.getParameterListIndex(P::EQFilterType), 1);
    EXPECT_EQ(store.getParameterValue(P::FiltersLPFFreq), 18000.f);
    EXPECT_EQ(store.getParameterValue(P::NoiseLevel), -96.f);
    EXPECT_EQ(store.getParameterValue(P::GateAttackTime), 1.f);
}

TEST_F(StoreOverHost, TypedReadsCountOnlyTheirOwnType)
{
    // A float property is no list index, integer or switch; a switch is no integer.
    EXPECT_EQ(store.getParameterListIndex(P::EQFreq), 0);
    EXPECT_EQ(store.getParameterInt(P::EQFreq), 0);
    EXPECT_FALSE(store.getParameterBool(P::EQFreq));
    EXPECT_EQ(store.getParameterInt(P::EQEnable), 0);
    EXPECT_EQ(store.getParameterListIndex(P::EQEnable), 0);
    EXPECT_FALSE(store.getParameterBool(P::EQFilterType));
}

TEST_F(StoreOverHost, WritesRoundTripThroughTheHost)
{
    store.setParameterValue(P::LoFiBitDepthType, 7.9f);
    EXPECT_EQ(store.getParameterInt(P::LoFiBitDepthType), 7);
    store.setParameterValue(P::FiltersLPFFreq, 1234.5f);
    EXPECT_EQ(store.getParameterValue(P::FiltersLPFFreq), 1234.5f);
    store.setParameterValue(P::GateEnable, 0.f);
    EXPECT_FALSE(store.getParameterBool(P::GateEnable));
    EXPECT_EQ(store.getParameterValue(P::GateEnable), 0.f);
    store.setParameterValue(P::GateEnable, 1.f);
    EXPECT_TRUE(store.getParameterBool(P::GateEnable));
    store.setParameterValue(P::SIMType, 163.f);
    EXPECT_EQ(store.getParameterListIndex(P::SIMType), 163);
    store.setParameterVariant(P::EQGain, quarl::makeFloat(-7.25f));
    EXPECT_EQ(store.getParameterValue(P::EQGain), -7.25f);

    VARIANT held{};
    ASSERT_TRUE(properties.get("FiltersLPFFreq", held));
    EXPECT_EQ(held.vt, VT_R4);
    EXPECT_EQ(held.fltVal, 1234.5f);
}

TEST(StoreWrites, WholeValueParametersAreWrittenAsTruncatedIntegers)
{
    RawPropertySet host;
    Store store;
    store.AttachPropertySet(&host);

    store.setParameterValue(P::LoFiBitDepthType, 7.9f);
    store.setParameterValue(P::LoFiDownSampleIndex, -0.9f); // toward zero, not down
    store.setParameterValue(P::FiltersLPFFreq, 1234.5f);
    store.setParameterValue(P::DistortionEnable, 1.f); // a switch has two steps
    ASSERT_EQ(host.writes.size(), 4u);
    EXPECT_EQ(host.writes[0].name, u"LoFiBitDepthType");
    EXPECT_EQ(host.writes[0].value.vt, VT_I4);
    EXPECT_EQ(host.writes[0].value.lVal, 7);
    EXPECT_EQ(host.writes[1].value.vt, VT_I4);
    EXPECT_EQ(host.writes[1].value.lVal, 0);
    EXPECT_EQ(host.writes[2].name, u"FiltersLPFFreq");
    EXPECT_EQ(host.writes[2].value.vt, VT_R4);
    EXPECT_EQ(host.writes[2].value.fltVal, 1234.5f);
    EXPECT_EQ(host.writes[3].value.vt, VT_I4);
    EXPECT_EQ(host.writes[3].value.lVal, 1);
}

TEST(StoreWrites, VariantsAreWrittenAsGiven)
{
    RawPropertySet host;
    Store store;
    store.AttachPropertySet(&host);
    const VARIANT given = variantOf(VT_BOOL, VARIANT_TRUE);
    store.setParameterVariant(P::NoiseEnable, given);
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.writes[0].name, u"NoiseEnable");
    EXPECT_EQ(host.writes[0].value.vt, VT_BOOL);
    EXPECT_EQ(host.writes[0].value.boolVal, VARIANT_TRUE);
}

TEST(StoreWrites, ValuesNoIntegerHoldsAndIdsOutsideTheTableAreDropped)
{
    RawPropertySet host;
    Store store;
    store.AttachPropertySet(&host);
    store.setParameterValue(P::SIMType, std::numeric_limits<float>::quiet_NaN());
    store.setParameterValue(P::SIMType, 3e9f);
    store.setParameterValue(P::SIMType, -std::numeric_limits<float>::infinity());
    store.setParameterValue(77, 1.f);
    store.setParameterValue(-1, 1.f);
    store.setParameterVariant(77, variantOf(VT_I4, 1));
    EXPECT_TRUE(host.writes.empty());
}

TEST(StoreReads, ConvertWhatTheHostHolds)
{
    RawPropertySet host;
    Store store;
    store.AttachPropertySet(&host);
    host.put(u"SIMType", variantOf(VT_I4, 42));
    host.put(u"GateEnable", variantOf(VT_BOOL, VARIANT_TRUE));
    host.put(u"EQFreq", variantOf(VT_EMPTY, 0));
    EXPECT_EQ(store.getParameterValue(P::SIMType), 42.f);
    EXPECT_EQ(store.getParameterListIndex(P::SIMType), 42);
    EXPECT_EQ(store.getParameterValue(P::GateEnable), -1.f);
    EXPECT_EQ(store.getParameterValue(P::EQFreq), 0.f) << "an unexpected type reads as nothing";

    host.failReads = true;
    EXPECT_EQ(store.getParameterValue(P::SIMType), 0.f);
    EXPECT_EQ(store.getParameterInt(P::SIMType), 0);
    EXPECT_FALSE(store.getParameterBool(P::GateEnable));
}

TEST(StoreReads, IdsOutsideTheTableReachNoHost)
{
    RawPropertySet host;
    Store store;
    store.AttachPropertySet(&host);
    EXPECT_EQ(store.getParameterValue(77), 0.f);
    EXPECT_EQ(store.getParameterInt(-1), 0);
    EXPECT_FALSE(store.isParameterRTPC(77));
    EXPECT_EQ(host.reads, 0);
}

TEST_F(StoreOverHost, AVacantIdentifierReadsNothing)
{
    // Row 5 is named "NULL", which is none of the host's properties.
    EXPECT_EQ(store.getParameterValue(5), 0.f);
    EXPECT_EQ(store.getParameterText(5), "0.00");
}

TEST_F(StoreOverHost, GameDrivenPropertiesIgnoreEditorWritesButStillRead)
{
    properties.setRTPC("EQFreq", true);
    const auto writesBefore = properties.writeCount();
    EXPECT_TRUE(store.isParameterRTPC(P::EQFreq));
    EXPECT_FALSE(store.isParameterRTPC(P::EQGain));

    store.setParameterValue(P::EQFreq, 500.f);
    store.setParameterVariant(P::EQFreq, quarl::makeFloat(500.f));
    store.setParameterValueIfFree(P::EQFreq, 500.f);
    EXPECT_EQ(properties.writeCount(), writesBefore);
    EXPECT_EQ(store.getParameterValue(P::EQFreq), 1000.f) << "reads still see the host's value";
    EXPECT_EQ(store.getParameterText(P::EQFreq), "RTPC");

    store.setParameterValueIfFree(P::EQGain, 3.f);
    EXPECT_EQ(store.getParameterValue(P::EQGain), 3.f);

    properties.setRTPC("EQFreq", false);
    store.setParameterValue(P::EQFreq, 500.f);
    EXPECT_EQ(store.getParameterValue(P::EQFreq), 500.f);
    EXPECT_EQ(store.getParameterText(P::EQFreq), "500.00");
}

TEST_F(StoreOverHost, TextsHaveTwoDecimals)
{
    EXPECT_EQ(store.getParameterText(P::FiltersLPFFreq), "18000.00");
    EXPECT_EQ(store.getParameterText(P::GateThreshold), "-40.00");
    EXPECT_EQ(store.getParameterText(P::GateEnable), "-1.00");
    EXPECT_EQ(store.getParameterText(P::EQFilterType), "1.00");
    EXPECT_EQ(store.getParameterText(P::DistortionMode), "0.00") << "the store knows no value names";
    store.setParameterValue(P::NoiseRecovery, 2.126f);
    EXPECT_EQ(store.getParameterText(P::NoiseRecovery), "2.13");
    EXPECT_EQ(store.getParameterText(77), "");
    EXPECT_EQ(store.getParameterText(-1), "");
}

TEST_F(StoreOverHost, DisplayValueIsTheValue)
{
    EXPECT_EQ(store.getParameterDisplayValue(P::GateEnable), -1.f);
    EXPECT_EQ(store.getParameterDisplayValue(P::EQFreq), 1000.f);
}

TEST(StoreTable, AccessorsAnswerTheTableInsideItAndZeroOutside)
{
    Store store;
    EXPECT_EQ(store.getNumParameters(), 77);
    EXPECT_EQ(store.getParameterSteps(P::SIMType), 164);
    EXPECT_EQ(store.getParameterSteps(P::EQFreq), 0);
    EXPECT_EQ(store.getParameterMin(P::NoiseLevel), -96.f);
    EXPECT_EQ(store.getParameterMax(P::GateReleaseTime), 1000.f);
    EXPECT_EQ(store.getParameterDefault(P::Balance), 100.f);
    std::uint32_t bits = 0;
    const float attackMin = store.getParameterMin(P::GateAttackTime);
    std::memcpy(&bits, &attackMin, 4);
    EXPECT_EQ(bits, 0x3DCCCCCDu);
    EXPECT_EQ(store.getParameterAux(P::LoFiFilter), 0.f);
    EXPECT_EQ(store.getParameterAux(P::LoFiEnable), 1.f);
    EXPECT_EQ(store.getParameterAux(5), 1.f) << "a vacant row";
    for (ParameterId id : {-1, 77, 1000})
    {
        EXPECT_EQ(store.getParameterSteps(id), 0);
        EXPECT_EQ(store.getParameterMin(id), 0.f);
        EXPECT_EQ(store.getParameterMax(id), 0.f);
        EXPECT_EQ(store.getParameterDefault(id), 0.f);
        EXPECT_EQ(store.getParameterAux(id), 0.f);
    }
    EXPECT_EQ(store.getReservedInt1(), 1);
    EXPECT_EQ(store.getReservedInt2(), 1);
}

TEST_F(StoreOverHost, AGestureIsOneChangeGroupLabelledWithTheProperty)
{
    store.beginParameterGesture(P::EQFreq);
    EXPECT_EQ(properties.openChangeGroups(), 1);
    store.setParameterValue(P::EQFreq, 2000.f);
    store.setParameterValue(P::EQFreq, 2100.f);
    store.endParameterGesture(P::EQFreq);

    const auto& events = properties.changeGroupEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, quarl::ChangeGroupEvent::Kind::Opened);
    EXPECT_EQ(events[0].paramId, P::EQFreq);
    EXPECT_EQ(events[0].flags, 0);
    EXPECT_EQ(events[1].kind, quarl::ChangeGroupEvent::Kind::Closed);
    EXPECT_EQ(events[1].paramId, P::EQFreq);
    EXPECT_EQ(events[1].label, "EQFreq");
    EXPECT_EQ(events[1].flags, 0);
    EXPECT_EQ(properties.openChangeGroups(), 0);
}

TEST_F(StoreOverHost, GesturesWithoutHostGroupsOrOutsideTheTableDoNothing)
{
    store.beginParameterGesture(77);
    store.endParameterGesture(-1);
    properties.setChangeGroupsAvailable(false);
    store.beginParameterGesture(P::EQFreq);
    store.endParameterGesture(P::EQFreq);
    EXPECT_TRUE(properties.changeGroupEvents().empty());
}

TEST_F(StoreOverHost, ResourceModuleIsThisImage)
{
    EXPECT_EQ(store.GetResourceModule(), platform::thisModule());
}
} // namespace
