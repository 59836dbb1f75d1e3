#include "quarl/PluginDescription.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

namespace quarl
{
namespace
{
using nlohmann::json;

std::basic_string<WCHAR> widen(const std::string& ascii)
{
    return std::basic_string<WCHAR>(ascii.begin(), ascii.end());
}

double requireNumber(const json& property, const char* key, const std::string& name)
{
    const auto it = property.find(key);
    if (it == property.end() || !it->is_number())
        throw DescriptionError("property \"" + name + "\": \"" + key + "\" must be a number");
    return it->get<double>();
}

// The member `key` of the object as a non-empty string; `error` when it is absent, empty or
// not a string.
std::string requireName(const json& object, const char* key, const char* error)
{
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string() || it->get<std::string>().empty())
        throw DescriptionError(error);
    return it->get<std::string>();
}

// The member `key` of the property as a type's name ("bool", "int", "float"); false when it
// is absent or names none.
bool typeOf(const json& property, const char* key, PropertyType& type)
{
    const auto it = property.find(key);
    if (it == property.end() || !it->is_string())
        return false;
    for (const PropertyType t : {PropertyType::Bool, PropertyType::Int, PropertyType::Float})
        if (it->get<std::string>() == toString(t))
        {
            type = t;
            return true;
        }
    return false;
}

PropertyDescription parseProperty(const json& property)
{
    if (!property.is_object())
        throw DescriptionError("every property must be an object");
    PropertyDescription p;
    p.name = requireName(property, "name", "every property needs a non-empty \"name\"");
    for (unsigned char c : p.name)
        if (c < 0x21 || c > 0x7E)
            throw DescriptionError("property \"" + p.name + "\": names are printable ASCII without spaces");
    p.wideName = widen(p.name);

    const auto id = property.find("id");
    if (id != property.end())
    {
        if (!id->is_number_integer() || id->get<std::int64_t>() < 0 || id->get<std::int64_t>() > 0x7FFFFFFF)
            throw DescriptionError("property \"" + p.name + "\": \"id\" is a non-negative integer");
        p.id = static_cast<std::int32_t>(id->get<std::int64_t>());
    }
    const auto unit = property.find("unit");
    if (unit != property.end())
    {
        if (!unit->is_string())
            throw DescriptionError("property \"" + p.name + "\": \"unit\" is a text");
        p.unit = unit->get<std::string>();
    }

    if (!typeOf(property, "type", p.type))
        throw DescriptionError("property \"" + p.name + "\": \"type\" is bool, int or float");
    p.update = p.type;
    if (property.contains("update") && !typeOf(property, "update", p.update))
        throw DescriptionError("property \"" + p.name + "\": \"update\" is bool, int or float");
    if (p.type == PropertyType::Bool)
    {
        const auto def = property.find("default");
        if (def == property.end() || !def->is_boolean())
            throw DescriptionError("property \"" + p.name + "\": a bool's \"default\" is true or false");
        p.minValue = 0.0;
        p.maxValue = 1.0;
        p.defaultValue = def->get<bool>() ? 1.0 : 0.0;
        return p;
    }
    p.minValue = requireNumber(property, "min", p.name);
    p.maxValue = requireNumber(property, "max", p.name);
    p.defaultValue = requireNumber(property, "default", p.name);
    if (!(p.minValue <= p.defaultValue && p.defaultValue <= p.maxValue))
        throw DescriptionError("property \"" + p.name + "\": needs min <= default <= max");
    if (p.type == PropertyType::Int)
    {
        for (double v : {p.minValue, p.maxValue, p.defaultValue})
            if (v != std::trunc(v) || std::fabs(v) > 2147483647.0)
                throw DescriptionError("property \"" + p.name + "\": an int's min, max and default are whole numbers");
        const auto values = property.find("values");
        if (values != property.end())
        {
            if (!values->is_array() || values->size() != static_cast<std::size_t>(p.maxValue - p.minValue + 1.0))
                throw DescriptionError("property \"" + p.name + "\": \"values\" names every value from min to max");
            for (const auto& v : *values)
            {
                if (!v.is_string())
                    throw DescriptionError("property \"" + p.name + "\": \"values\" are texts");
                p.values.push_back(v.get<std::string>());
            }
        }
    }
    else if (std::fabs(p.minValue) > std::numeric_limits<float>::max() ||
             std::fabs(p.maxValue) > std::numeric_limits<float>::max())
    {
        throw DescriptionError("property \"" + p.name + "\": a float's range must fit in single precision");
    }
    return p;
}

std::uint32_t requireId(const json& plugin, const char* key)
{
    const auto it = plugin.find(key);
    if (it == plugin.end() || !it->is_number_unsigned() || it->get<std::uint64_t>() > 0xFFFFFFFFull)
        throw DescriptionError(std::string("\"plugin\": \"") + key + "\" must be an unsigned 32-bit number");
    return static_cast<std::uint32_t>(it->get<std::uint64_t>());
}
} // namespace

std::int32_t PropertyDescription::steps() const
{
    switch (type)
    {
    case PropertyType::Bool: return 2;
    case PropertyType::Int: return static_cast<std::int32_t>(maxValue - minValue + 1.0);
    case PropertyType::Float: return 0;
    }
    return 0;
}

int PluginDescription::indexOf(const std::string& propertyName) const
{
    for (std::size_t i = 0; i < properties.size(); ++i)
        if (properties[i].name == propertyName)
            return static_cast<int>(i);
    return -1;
}

int PluginDescription::indexOf(LPCWSTR propertyName) const
{
    if (propertyName == nullptr)
        return -1;
    const std::basic_string<WCHAR> wide(propertyName);
    for (std::size_t i = 0; i < properties.size(); ++i)
        if (properties[i].wideName == wide)
            return static_cast<int>(i);
    return -1;
}

PluginDescription PluginDescription::parse(const std::string& text)
{
    json document;
    try
    {
        document = json::parse(text);
    }
    catch (const json::parse_error& e)
    {
        throw DescriptionError(std::string("not valid JSON: ") + e.what());
    }
    if (!document.is_object())
        throw DescriptionError("the description must be a JSON object");

    PluginDescription d;
    d.module = requireName(document, "module", "\"module\" must name the module");

    const auto plugin = document.find("plugin");
    if (plugin == document.end() || !plugin->is_object())
        throw DescriptionError("\"plugin\" must be an object");
    const auto name = plugin->find("name");
    d.name = name != plugin->end() && name->is_string() ? name->get<std::string>() : d.module;
    const auto type = plugin->find("type");
    if (type == plugin->end() || *type != "effect")
        throw DescriptionError("\"plugin\": \"type\" must be \"effect\"");
    d.companyId = requireId(*plugin, "companyId");
    d.pluginId = requireId(*plugin, "pluginId");

    const auto properties = document.find("properties");
    if (properties == document.end() || !properties->is_array() || properties->empty())
        throw DescriptionError("\"properties\" must be a non-empty array");
    std::set<std::string> seen;
    for (const json& property : *properties)
    {
        PropertyDescription p = parseProperty(property);
        if (!seen.insert(p.name).second)
            throw DescriptionError("property \"" + p.name + "\" is described twice");
        d.properties.push_back(std::move(p));
    }
    return d;
}

PluginDescription PluginDescription::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw DescriptionError("cannot read \"" + path + "\"");
    std::ostringstream text;
    text << in.rdbuf();
    try
    {
        return parse(text.str());
    }
    catch (const DescriptionError& e)
    {
        throw DescriptionError("\"" + path + "\": " + e.what());
    }
}

const char* toString(PropertyType type)
{
    switch (type)
    {
    case PropertyType::Bool: return "bool";
    case PropertyType::Int: return "int";
    case PropertyType::Float: return "float";
    }
    return "?";
}
} // namespace quarl
