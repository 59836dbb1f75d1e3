// The plugin description file the product ships: in step with the compiled parameter
// catalogue, and the reader's refusals of broken descriptions.
#include "host/PluginIds.h"
#include "params/ParameterTable.h"
#include "params/ValueLists.h"
#include "quarl/PluginDescription.h"
#include "tests/host/ModuleTestSupport.h"

#include "params/ValueLists.h"

#include <gtest/gtest.h>

#include <string>

using namespace crumlet_module_test;

namespace
{
TEST(ShippedDescription, MatchesTheCompiledCatalogue)
{
    const quarl::PluginDescription& d = shippedDescription();
    EXPECT_EQ(d.module, "OrvexCrumlet");
    EXPECT_EQ(d.companyId, kOrvexCompanyId);
    EXPECT_EQ(d.pluginId, kCrumletPluginId);
    ASSERT_EQ(d.properties.size(), kParameterCount);
    for (std::size_t i = 0; i < kParameterCount; ++i)
    {
        const ParameterDefinition& def = g_parameterDefinitions[i];
        const quarl::PropertyDescription& p = d.properties[i];
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.name, toAscii(def.name)) << "host order";
        EXPECT_EQ(p.wideName, std::u16string(def.name));
        EXPECT_EQ(p.type, def.hostType);
        EXPECT_EQ(p.update, def.update) << "how the host's updates carry it";
        // Exactly the catalogue's single-precision values.
        EXPECT_EQ(static_cast<float>(p.minValue), def.minValue);
        EXPECT_EQ(static_cast<float>(p.maxValue), def.maxValue);
        EXPECT_EQ(static_cast<float>(p.defaultValue), def.defaultValue);
        // What the host's tools show: identifier, step count, unit and value names.
        EXPECT_EQ(p.id, def.id);
        EXPECT_EQ(p.steps(), def.steps);
        EXPECT_EQ(p.unit, def.unit);
        EXPECT_EQ(p.values, valueListOf(def.id));
    }
}

TEST(ShippedDescription, FindsPropertiesByExactName)
{
    const quarl::PluginDescription& d = shippedDescription();
    EXPECT_EQ(d.indexOf("FiltersEnable"), 0);
    EXPECT_EQ(d.indexOf(u"Balance"), 39);
    EXPECT_EQ(d.indexOf("NoiseThreshold"), -1);
    EXPECT_EQ(d.indexOf("eqq"), -1);
    EXPECT_EQ(d.indexOf(static_cast<LPCWSTR>(nullptr)), -1);
}

std::string describe(const std::string& properties, const std::string& plugin = R"({"type": "effect", "companyId": 1, "pluginId": 2})")
{
    return R"({"module": "M", "plugin": )" + plugin + R"(, "properties": [)" + properties + "]}";
}

TEST(DescriptionReader, ReadsAMinimalDescription)
{
    const auto d = quarl::PluginDescription::parse(
        describe(R"({"name": "On", "type": "bool", "default": false}, {"name": "Level", "type": "float", "min": -1.5, "max": 2, "default": 0.25})"));
    EXPECT_EQ(d.name, "M");
    ASSERT_EQ(d.properties.size(), 2u);
    EXPECT_EQ(d.properties[0].type, quarl::PropertyType::Bool);
    EXPECT_EQ(d.properties[0].maxValue, 1.0);
    EXPECT_EQ(d.properties[0].defaultValue, 0.0);
    EXPECT_EQ(d.properties[1].minValue, -1.5);
    EXPECT_EQ(d.properties[1].defaultValue, 0.25);
    EXPECT_EQ(d.properties[0].update, quarl::PropertyType::Bool) << "as its type when not given";
    EXPECT_EQ(d.properties[1].update, quarl::PropertyType::Float);
}

TEST(DescriptionReader, ReadsHowAnUpdateCarriesAValue)
{
    const auto d = quarl::PluginDescription::parse(describe(
        R"({"name": "List", "type": "int", "update": "float", "min": 0, "max": 3, "default": 0}, )"
        R"({"name": "On", "type": "bool", "update": "int", "default": true})"));
    EXPECT_EQ(d.properties[0].type, quarl::PropertyType::Int);
    EXPECT_EQ(d.properties[0].update, quarl::PropertyType::Float);
    EXPECT_EQ(d.properties[1].update, quarl::PropertyType::Int);
}

TEST(DescriptionReader, RefusesBrokenDescriptions)
{
    const char* broken[] = {
        "",
        "[]",
        "{\"module\": \"M\"",
        R"({"plugin": {"type": "effect", "companyId": 1, "pluginId": 2}, "properties": [{"name": "A", "type": "bool", "default": true}]})",
        R"({"module": "M", "properties": [{"name": "A", "type": "bool", "default": true}]})",
    };
    for (const char* text : broken)
        EXPECT_THROW(quarl::PluginDescription::parse(text), quarl::DescriptionError) << text;

    const std::string badProperties[] = {
        "",
        R"({"name": "A", "type": "bool", "default": true}, {"name": "A", "type": "bool", "default": true})",
        R"({"name": "A", "type": "double", "min": 0, "max": 1, "default": 0})",
        R"({"name": "A", "type": "int", "min": 2, "max": 1, "default": 1})",
        R"({"name": "A", "type": "int", "min": 0, "max": 10, "default": 11})",
        R"({"name": "A", "type": "int", "min": 0, "max": 1.5, "default": 1})",
        R"({"name": "A", "type": "float", "min": 0, "max": 1e300, "default": 1})",
        R"({"name": "A", "type": "float", "min": 0, "default": 1})",
        R"({"name": "A", "type": "bool", "default": 1})",
        R"({"name": "", "type": "bool", "default": true})",
        R"({"name": "A B", "type": "bool", "default": true})",
        R"({"type": "bool", "default": true})",
        R"("A")",
    };
    const std::string badExtras[] = {
        R"({"name": "A", "id": -1, "type": "bool", "default": true})",
        R"({"name": "A", "unit": 3, "type": "float", "min": 0, "max": 1, "default": 0})",
        R"({"name": "A", "type": "int", "min": 0, "max": 2, "default": 0, "values": ["x", "y"]})",
        R"({"name": "A", "type": "int", "min": 0, "max": 1, "default": 0, "values": ["x", 1]})",
        R"({"name": "A", "type": "int", "update": "double", "min": 0, "max": 1, "default": 0})",
        R"({"name": "A", "type": "bool", "update": 1, "default": true})",
    };
    for (const std::string& properties : badExtras)
        EXPECT_THROW(quarl::PluginDescription::parse(describe(properties)), quarl::DescriptionError) << properties;

    for (const std::string& properties : badProperties)
        EXPECT_THROW(quarl::PluginDescription::parse(describe(properties)), quarl::DescriptionError) << properties;

    const std::string okProperty = R"({"name": "A", "type": "bool", "default": true})";
    EXPECT_THROW(quarl::PluginDescription::parse(describe(okProperty, R"({"type": "source", "companyId": 1, "pluginId": 2})")),
                 quarl::DescriptionError);
    EXPECT_THROW(quarl::PluginDescription::parse(describe(okProperty, R"({"type": "effect", "companyId": -1, "pluginId": 2})")),
                 quarl::DescriptionError);
    EXPECT_THROW(quarl::PluginDescription::parse(describe(okProperty, R"({"type": "effect", "companyId": 4294967296, "pluginId": 2})")),
                 quarl::DescriptionError);
    EXPECT_THROW(quarl::PluginDescription::load("/nonexistent/description.json"), quarl::DescriptionError);
}
} // namespace
