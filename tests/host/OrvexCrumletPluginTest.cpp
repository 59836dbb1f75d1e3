// The authoring plugin object in-process: the parameter block it writes, display names,
// value texts, the dialog, help and window messages, the host query and the defaults.
#include "engine/EngineParams.h"
#include "host/OrvexCrumletPlugin.h"
#include "params/ParameterTable.h"
#include "platform/DynamicLibrary.h"
#include "platform/WindowMessages.h"
#include "quarl/BankBlockWriter.h"
#include "quarl/HostAllocator.h"
#include "quarl/HostWindow.h"
#include "quarl/MonitorDelivery.h"
#include "quarl/PropertySet.h"
#include "tests/host/ModuleTestSupport.h"
#include "tests/params/RawPropertySet.h"

#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <memory>
#include <string>

using namespace crumlet_module_test;
namespace P = ParamId;

namespace
{
struct PluginDeleter
{
    void operator()(OrvexCrumletPlugin* plugin) const { plugin->DestroyPlugin(); }
};
using PluginPtr = std::unique_ptr<OrvexCrumletPlugin, PluginDeleter>;

class PluginOverHost : public ::testing::Test
{
protected:
    PluginOverHost() : properties(shippedDescription()), plugin(new OrvexCrumletPlugin())
    {
        plugin->AttachPropertySet(&properties);
    }

    std::vector<std::uint8_t> block() { return blockFor(properties.currentPlatform()); }
    std::vector<std::uint8_t> blockFor(const GUID& platform)
    {
        quarl::BankBlockWriter writer;
        EXPECT_TRUE(plugin->WriteBankBlock(platform, &writer));
        return writer.bytes();
    }
    std::u16string displayName(LPCWSTR name, UINT length = 64)
    {
        std::u16string buffer(length, u'#');
        if (!plugin->GetPropertyDisplayName(name, buffer.data(), length))
            return u"(none)";
        return std::u16string(buffer.c_str());
    }

    quarl::PropertySet properties;
    PluginPtr plugin;
};

// ---- The parameter block ----

TEST_F(PluginOverHost, BlockAtTheDefaults)
{
    const auto bytes = block();
    ASSERT_EQ(bytes.size(), 139u);
    EXPECT_EQ(bytes[0], 1) << "FiltersEnable on";
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 5, bytes.begin() + 9),
              (std::vector<std::uint8_t>{0x00, 0xA0, 0x8C, 0x46}))
        << "FiltersLPFFreq 18000";
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 4, bytes.end()),
              (std::vector<std::uint8_t>{0x00, 0x00, 0xC8, 0x42}))
        << "Balance 100";
    // Every value at its default, at its place in host order.
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& def = g_parameterDefinitions[i];
        const std::size_t at = blockOffsetOf(i);
        SCOPED_TRACE(toAscii(def.name));
        switch (def.hostType)
        {
        case HostType::Bool: EXPECT_EQ(bytes[at], def.defaultValue != 0.f ? 1 : 0); break;
        case HostType::Int: EXPECT_EQ(intAt(bytes, at), static_cast<std::int32_t>(def.defaultValue)); break;
        case HostType::Float: EXPECT_EQ(floatAt(bytes, at), def.defaultValue); break;
        }
    }
}

TEST_F(PluginOverHost, BlockCarriesChangedValuesOfEveryType)
{
    properties.set("FiltersEnable", 0);
    properties.set("FiltersLPFSlope", 1);
    properties.set("EQFreq", 2500);
    properties.set("SIMType", 163);
    properties.set("NoiseLevel", -12.5);
    properties.set("LoFiEnable", 0);
    properties.set("Balance", 0);
    const auto bytes = block();
    ASSERT_EQ(bytes.size(), 139u);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1, bytes.begin() + 5),
              (std::vector<std::uint8_t>{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(floatAt(bytes, 47), 2500.f);
    EXPECT_EQ(intAt(bytes, 85), 163);
    EXPECT_EQ(floatAt(bytes, 60), -12.5f);
    EXPECT_EQ(bytes[114], 0);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 4, bytes.end()), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(bytes[25], 1) << "the untouched switch before the EQ";
}

TEST_F(PluginOverHost, BlockIsReadForThePlatformTheHostNames)
{
    const GUID other = {0x01020304, 0x0506, 0x0708, {1, 2, 3, 4, 5, 6, 7, 8}};
    properties.SetValue(other, u"EQFreq", quarl::makeFloat(4321.f));
    EXPECT_EQ(floatAt(blockFor(other), 47), 4321.f);
    EXPECT_EQ(floatAt(blockFor(properties.currentPlatform()), 47), 1000.f);
}

TEST(PluginBlock, UnreadablePropertiesKeepTheirPlace)
{
    PluginPtr plugin(new OrvexCrumletPlugin());
    quarl::BankBlockWriter writer;
    EXPECT_TRUE(plugin->WriteBankBlock(GUID{}, &writer)) << "no property set";
    EXPECT_EQ(writer.bytes(), std::vector<std::uint8_t>(139, 0));

    RawPropertySet host; // knows no property at all
    plugin->AttachPropertySet(&host);
    writer.clear();
    EXPECT_TRUE(plugin->WriteBankBlock(GUID{}, &writer));
    EXPECT_EQ(writer.bytes(), std::vector<std::uint8_t>(139, 0));
    EXPECT_EQ(host.reads, 40);

    EXPECT_TRUE(plugin->WriteBankBlock(GUID{}, nullptr));
}

TEST(PluginBlock, AFailedReadLeavesWhatThePreviousReadLeft)
{
    // One VARIANT serves all forty reads: the slot of a property the host cannot read
    // carries the bits of the value read before it, whatever its type.
    RawPropertySet host;
    for (const ParameterDefinition& def : g_parameterDefinitions)
    {
        const VARTYPE type = def.hostType == HostType::Bool ? VT_BOOL : def.hostType == HostType::Int ? VT_I4 : VT_R4;
        VARIANT v = variantOf(type, 0);
        if (type == VT_R4)
            v.fltVal = def.defaultValue;
        else if (type == VT_I4)
            v.lVal = static_cast<std::int32_t>(def.defaultValue);
        else
            v.boolVal = def.defaultValue != 0.f ? VARIANT_TRUE : VARIANT_FALSE;
        host.put(std::u16string(def.name), v);
    }
    host.values.erase(u"FiltersEnable");   // the first read: nothing read before it
    host.values.erase(u"FiltersLPFQ");     // after FiltersLPFFreq (18000.0)
    host.values.erase(u"FiltersHPFSlope"); // after the failed FiltersLPFQ: still 18000.0
    PluginPtr plugin(new OrvexCrumletPlugin());
    plugin->AttachPropertySet(&host);
    quarl::BankBlockWriter writer;
    ASSERT_TRUE(plugin->WriteBankBlock(GUID{}, &writer));
    const auto bytes = writer.bytes();
    ASSERT_EQ(bytes.size(), kParameterBlockSize);
    EXPECT_EQ(host.reads, 40);
    EXPECT_EQ(bytes[0], 0) << "a failed first read writes zero";
    EXPECT_EQ(floatAt(bytes, 5), 18000.f);
    EXPECT_EQ(floatAt(bytes, 9), 18000.f) << "FiltersLPFQ keeps FiltersLPFFreq's value";
    EXPECT_EQ(static_cast<std::uint32_t>(intAt(bytes, 13)), 0x468CA000u) << "FiltersHPFSlope: 18000.0's bits";
    EXPECT_EQ(floatAt(bytes, 17), 40.f) << "FiltersHPFFreq read again";
}

// The value the sound engine keeps for a parameter, in the block's units (gains in dB).
double engineValue(const EngineParams& p, ParameterId id)
{
    const double stored = crumlet_test::storedValue(p, id);
    return id == P::InputGain || id == P::OutputGain ? 20.0 * std::log10(stored) : stored;
}

TEST_F(PluginOverHost, EveryValueRoundTripsIntoTheEngine)
{
    // Each property somewhere inside its range and away from its default.
    std::vector<double> chosen;
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& def = g_parameterDefinitions[i];
        double v = def.hostType == HostType::Bool ? (def.defaultValue != 0.f ? 0.0 : 1.0)
                   : def.steps > 0 ? std::fmod(def.defaultValue + 1.0, def.maxValue + 1.0)
                                   : def.minValue + (def.maxValue - def.minValue) * (0.13 + 0.02 * static_cast<double>(i));
        if (def.hostType == HostType::Float)
            v = static_cast<float>(v);
        chosen.push_back(v);
        ASSERT_TRUE(properties.set(toAscii(def.name), v)) << toAscii(def.name);
    }
    const auto bytes = block();
    ASSERT_EQ(bytes.size(), kParameterBlockSize);

    quarl::HostAllocator allocator;
    EngineParams* params = EngineParams::create(&allocator);
    ASSERT_NE(params, nullptr);
    ASSERT_EQ(params->Init(&allocator, bytes.data(), static_cast<std::uint32_t>(bytes.size())), ZQ::Quarl::Success);
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& def = g_parameterDefinitions[i];
        SCOPED_TRACE(toAscii(def.name));
        EXPECT_EQ(chosen[i], properties.value(toAscii(def.name)));
        if (def.id == P::InputGain || def.id == P::OutputGain)
            EXPECT_NEAR(engineValue(*params, def.id), chosen[i], 1e-4);
        else
            EXPECT_EQ(engineValue(*params, def.id), chosen[i]);
    }
    params->Term(&allocator);
    EXPECT_EQ(allocator.liveBlocks(), 0u);
}

// ---- Display names ----

TEST_F(PluginOverHost, DisplayNamesComeFromTheStringTable)
{
    EXPECT_EQ(displayName(u"EQQ"), u"EQ Q factor");
    EXPECT_EQ(displayName(u"NoiseThresh"), u"Noise generator threshold");
    EXPECT_EQ(displayName(u"LoFiDownSampleIndex"), u"LoFi downsample");
    EXPECT_EQ(displayName(u"Balance"), u"Balance");
    // All forty have one, and no two share it.
    std::set<std::u16string> names;
    for (const ParameterDefinition& def : g_parameterDefinitions)
    {
        const std::u16string name = displayName(def.name);
        EXPECT_NE(name, u"(none)") << toAscii(def.name);
        EXPECT_FALSE(name.empty()) << toAscii(def.name);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), kParameterCount);
}

TEST_F(PluginOverHost, NamesNotInTheTableHaveNoDisplayNameAndLeaveTheBuffer)
{
    for (LPCWSTR name : {u"NULL", u"eqq", u"EQ", u"EQQ ", u""})
    {
        WCHAR buffer[8] = {u'k', u'e', u'e', u'p', 0};
        EXPECT_FALSE(plugin->GetPropertyDisplayName(name, buffer, 8));
        EXPECT_EQ(std::u16string(buffer), u"keep");
    }
    WCHAR buffer[8] = {};
    EXPECT_FALSE(plugin->GetPropertyDisplayName(nullptr, buffer, 8));
    LPCWSTR untouched = u"keep";
    EXPECT_FALSE(plugin->GetPropertyDisplayName(u"NULL", reinterpret_cast<LPWSTR>(&untouched), 0));
    EXPECT_EQ(std::u16string(untouched), u"keep");
}

TEST_F(PluginOverHost, ALengthOfZeroHandsBackTheStringItself)
{
    // As the system's string loading does with no buffer length: the buffer receives a
    // pointer to the read-only string (not terminated on Windows, hence the fixed length).
    LPCWSTR text = nullptr;
    ASSERT_TRUE(plugin->GetPropertyDisplayName(u"EQQ", reinterpret_cast<LPWSTR>(&text), 0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, 11), u"EQ Q factor");
    ASSERT_TRUE(plugin->GetPropertyDisplayName(u"NoiseThresh", reinterpret_cast<LPWSTR>(&text), 0));
    EXPECT_EQ(std::u16string(text, 25), u"Noise generator threshold");
}

TEST_F(PluginOverHost, DisplayNamesAreCutToTheBuffer)
{
    WCHAR buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_TRUE(plugin->GetPropertyDisplayName(u"EQQ", buffer, 6));
    EXPECT_EQ(std::u16string(buffer), u"EQ Q ");
    EXPECT_EQ(buffer[6], u'#');
    EXPECT_TRUE(plugin->GetPropertyDisplayName(u"EQQ", buffer, 1));
    EXPECT_EQ(buffer[0], 0);
}

// ---- Value texts and display values ----

TEST_F(PluginOverHost, ListParametersShowTheirValueNames)
{
    EXPECT_EQ(plugin->getParameterText(P::SIMType), "Vintage Box Speaker");
    properties.set("SIMType", 163);
    EXPECT_EQ(plugin->getParameterText(P::SIMType), "Cylinder Speakers Bass");
    properties.set("LoFiDownSampleIndex", 6);
    EXPECT_EQ(plugin->getParameterText(P::LoFiDownSampleIndex), "6857");
    properties.set("LoFiBitDepthType", 15);
    EXPECT_EQ(plugin->getParameterText(P::LoFiBitDepthType), "2");
    properties.set("DistortionMode", 3);
    EXPECT_EQ(plugin->getParameterText(P::DistortionMode), "LoFi");
    // The slopes and the EQ type show their numbers.
    properties.set("FiltersLPFSlope", 1);
    EXPECT_EQ(plugin->getParameterText(P::FiltersLPFSlope), "1.00");
    EXPECT_EQ(plugin->getParameterText(P::EQFilterType), "1.00");
    EXPECT_EQ(plugin->getParameterText(P::EQFreq), "1000.00");
    EXPECT_EQ(plugin->getParameterText(77), "");
}

TEST_F(PluginOverHost, GameDrivenListParametersShowRTPC)
{
    properties.setRTPC("SIMType", true);
    EXPECT_EQ(plugin->getParameterText(P::SIMType), "RTPC");
    EXPECT_EQ(plugin->getParameterText(P::DistortionMode), "Sat1");
    properties.setRTPC("FiltersLPFSlope", true);
    EXPECT_EQ(plugin->getParameterText(P::FiltersLPFSlope), "RTPC");
}

TEST(PluginTexts, AListValueOutsideTheListShowsItsNumber)
{
    PluginPtr plugin(new OrvexCrumletPlugin());
    RawPropertySet host;
    plugin->AttachPropertySet(&host);
    host.put(u"SIMType", variantOf(VT_I4, 200));
    host.put(u"DistortionMode", variantOf(VT_I4, -1));
    EXPECT_EQ(plugin->getParameterText(P::SIMType), "200");
    EXPECT_EQ(plugin->getParameterText(P::DistortionMode), "-1");
}

TEST_F(PluginOverHost, ValueListsBelongToTheSevenListParameters)
{
    EXPECT_TRUE(plugin->getParameterValueList(0).empty());
    EXPECT_TRUE(plugin->getParameterValueList(77).empty());
    EXPECT_TRUE(plugin->getParameterValueList(P::EQFreq).empty());
    EXPECT_EQ(plugin->getParameterValueList(P::DistortionMode).size(), 10u);
    EXPECT_EQ(plugin->getParameterValueList(P::SIMType).size(), 164u);
    EXPECT_EQ(plugin->getParameterValueList(P::LoFiBitDepthType).size(), 16u);
    EXPECT_EQ(plugin->getParameterValueList(P::LoFiDownSampleIndex).size(), 33u);
    EXPECT_EQ(plugin->getParameterValueList(P::FiltersHPFSlope), (std::vector<std::string>{"12 dB/oct", "24 dB/oct"}));
    EXPECT_EQ(plugin->getParameterValueList(P::EQFilterType), (std::vector<std::string>{"HPF", "EQ", "LPF"}));
}

TEST_F(PluginOverHost, DisplayValuesOfSwitchesListsAndFloats)
{
    EXPECT_EQ(plugin->getParameterValue(P::GateEnable), -1.f);
    EXPECT_EQ(plugin->getParameterDisplayValue(P::GateEnable), 1.f);
    properties.set("GateEnable", 0);
    EXPECT_EQ(plugin->getParameterDisplayValue(P::GateEnable), 0.f);
    properties.set("SIMType", 42);
    EXPECT_EQ(plugin->getParameterDisplayValue(P::SIMType), 42.f);
    EXPECT_EQ(plugin->getParameterDisplayValue(P::EQFilterType), 1.f);
    EXPECT_EQ(plugin->getParameterDisplayValue(P::EQFreq), 1000.f);
    EXPECT_EQ(plugin->getParameterDisplayValue(77), 0.f);
    EXPECT_EQ(plugin->getNumParameters(), 77);
}

// ---- Dialog, windows and help ----

TEST_F(PluginOverHost, DialogIs104WithoutATable)
{
    UINT id = 0;
    void* table = &id;
    EXPECT_TRUE(plugin->GetDialogResource(5, id, table));
    EXPECT_EQ(id, 104u);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(plugin->GetResourceModule(), platform::thisModule());
}

TEST_F(PluginOverHost, WindowMessagesAreNeverConsumed)
{
    quarl::HostWindow dialog;
    LRESULT result = 99;
    EXPECT_FALSE(plugin->HandleWindowMessage(0, dialog.handle(), WM_INITDIALOG, 0, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(plugin->getHostWindow(), dialog.handle());
    result = 99;
    EXPECT_FALSE(plugin->HandleWindowMessage(0, dialog.handle(), 0x000F, 1, 2, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(plugin->getHostWindow(), dialog.handle());
    result = 99;
    EXPECT_FALSE(plugin->HandleWindowMessage(0, dialog.handle(), WM_DESTROY, 0, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(plugin->getHostWindow(), nullptr);
    EXPECT_FALSE(plugin->HandleWindowMessage(0, nullptr, WM_DESTROY, 0, 0, result)) << "a second close";
    EXPECT_FALSE(plugin->hasEditor());
    EXPECT_TRUE(dialog.messages().empty());
}

TEST_F(PluginOverHost, HelpGoesToTheWindowForSelectorZeroOnly)
{
    quarl::HostWindow window;
    EXPECT_FALSE(plugin->ShowHelp(window.handle(), 1));
    EXPECT_FALSE(plugin->ShowHelp(window.handle(), -1));
    EXPECT_TRUE(window.messages().empty());
    EXPECT_TRUE(plugin->ShowHelp(window.handle(), 0));
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].message, 0x4981u);
    EXPECT_EQ(window.messages()[0].wParam, 114u);
    EXPECT_EQ(window.messages()[0].lParam, 0);
    EXPECT_TRUE(plugin->ShowHelp(nullptr, 0));
}

// ---- Host query, defaults and notifications ----

TEST_F(PluginOverHost, HostQueryAnswersTheSecondValue)
{
    properties.setQueryAnswer(7);
    EXPECT_EQ(plugin->ForwardHostQuery(5), 7u);
    EXPECT_EQ(properties.queries(), std::vector<std::uint32_t>{5});

    PluginPtr alone(new OrvexCrumletPlugin());
    EXPECT_EQ(alone->ForwardHostQuery(5), 2u) << "no property set: the default answer";
    RawPropertySet raw;
    alone->AttachPropertySet(&raw);
    EXPECT_EQ(alone->ForwardHostQuery(5), 22u);
}

TEST_F(PluginOverHost, DefaultAnswers)
{
    double low = -1.0, high = -1.0;
    EXPECT_FALSE(plugin->GetValueRange(low, high));
    EXPECT_EQ(low, 0.0);
    EXPECT_EQ(high, static_cast<double>(std::numeric_limits<float>::max()));
    EXPECT_TRUE(plugin->Reserved5());
    EXPECT_FALSE(plugin->Reserved8());
    EXPECT_FALSE(plugin->Reserved9());
    EXPECT_TRUE(plugin->Reserved10());
    EXPECT_FALSE(plugin->Reserved17());
    EXPECT_FALSE(plugin->Reserved22());
    EXPECT_EQ(plugin->Reserved25(), 0);
}

TEST_F(PluginOverHost, NotificationsAndMonitorDataWithoutAnEditorChangeNothing)
{
    const auto before = block();
    const auto writes = properties.writeCount();
    plugin->OnPropertyChanged(properties.currentPlatform(), u"EQFreq");
    std::vector<std::uint8_t> record(60, 0);
    record[0] = 2;
    quarl::deliverMonitorData(*plugin, record);
    quarl::deliverMonitorData(*plugin, quarl::byteSwapped(record), true);
    plugin->ReceiveMonitorData(nullptr, 0, false, 0);
    EXPECT_EQ(properties.writeCount(), writes);
    EXPECT_EQ(block(), before);
    EXPECT_FALSE(plugin->hasEditor());
}

TEST(PluginObjects, AreIndependent)
{
    quarl::PropertySet firstSet(shippedDescription()), secondSet(shippedDescription());
    PluginPtr first(new OrvexCrumletPlugin()), second(new OrvexCrumletPlugin());
    first->AttachPropertySet(&firstSet);
    second->AttachPropertySet(&secondSet);

    first->setParameterValue(P::EQFreq, 321.f);
    firstSet.setRTPC("SIMType", true);
    EXPECT_EQ(first->getParameterValue(P::EQFreq), 321.f);
    EXPECT_EQ(second->getParameterValue(P::EQFreq), 1000.f);
    EXPECT_EQ(second->getParameterText(P::SIMType), "Vintage Box Speaker");

    quarl::HostWindow window;
    LRESULT result = 0;
    first->HandleWindowMessage(0, window.handle(), WM_INITDIALOG, 0, 0, result);
    EXPECT_EQ(first->getHostWindow(), window.handle());
    EXPECT_EQ(second->getHostWindow(), nullptr);

    quarl::BankBlockWriter a, b;
    first->WriteBankBlock(firstSet.currentPlatform(), &a);
    second->WriteBankBlock(secondSet.currentPlatform(), &b);
    EXPECT_EQ(floatAt(a.bytes(), 47), 321.f);
    EXPECT_EQ(floatAt(b.bytes(), 47), 1000.f);
}
} // namespace
