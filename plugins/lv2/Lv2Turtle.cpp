// crumlet-lv2-turtle BUNDLE: writes the bundle's manifest.ttl and crumlet.ttl from the
// parameter table and value lists, so the ports can never disagree with the effect.
#include "params/ParameterTable.h"
#include "params/ValueLists.h"
#include "plugins/lv2/Lv2Ports.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
const char* const kPrefixes =
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n\n";

std::string number(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
    std::string s = text;
    // Turtle reads a number without a point or exponent as an integer.
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s;
}

std::string quoted(const std::string& text)
{
    std::string q = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            q += '\\';
        q += c;
    }
    return q + "\"";
}

const char* unitOf(const std::string& unit)
{
    if (unit == "dB")
        return "units:db";
    if (unit == "Hz")
        return "units:hz";
    if (unit == "ms")
        return "units:ms";
    if (unit == "%")
        return "units:pc";
    return nullptr;
}

void controlPort(std::ostream& out, std::uint32_t index, const ParameterDefinition& p)
{
    const std::string symbol = toAscii(p.name);
    out << "  lv2:port [\n    a lv2:InputPort , lv2:ControlPort ;\n    lv2:index " << index
        << " ;\n    lv2:symbol " << quoted(symbol) << " ;\n    lv2:name " << quoted(symbol) << " ;\n"
        << "    lv2:default " << number(p.defaultValue) << " ;\n    lv2:minimum " << number(p.minValue)
        << " ;\n    lv2:maximum " << number(p.maxValue) << " ;\n";
    if (p.hostType == HostType::Bool)
        out << "    lv2:portProperty lv2:toggled ;\n";
    if (p.hostType == HostType::Int)
    {
        out << "    lv2:portProperty lv2:integer , lv2:enumeration ;\n";
        const auto values = valueListOf(p.id);
        for (std::size_t v = 0; v < values.size(); ++v)
            out << "    lv2:scalePoint [ rdfs:label " << quoted(values[v]) << " ; rdf:value " << v << ".0 ] ;\n";
    }
    if (const char* unit = unitOf(p.unit))
        out << "    units:unit " << unit << " ;\n";
    out << "  ] ;\n";
}

std::string pluginTurtle()
{
    std::ostringstream out;
    out << kPrefixes << "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n\n";
    for (const auto& variant : lv2port::kVariants)
    {
        const std::uint32_t channels = variant.channels;
        out << "<" << variant.uri << ">\n  a lv2:Plugin , lv2:DistortionPlugin ;\n  doap:name " << quoted(variant.name)
            << " ;\n  doap:maintainer [ foaf:name \"Orvex\" ] ;\n  doap:license <urn:orvex:license:proprietary> ;\n"
            << "  lv2:optionalFeature lv2:hardRTCapable ;\n";
        for (std::uint32_t i = 0; i < kParameterCount; ++i)
            controlPort(out, lv2port::kFirstControl + i, g_parameterDefinitions[i]);
        const char* side[2][2] = {{"in", "out"}, {"in_l", "in_r"}};
        const char* outSide[2] = {"out_l", "out_r"};
        for (std::uint32_t c = 0; c < channels; ++c)
            out << "  lv2:port [ a lv2:InputPort , lv2:AudioPort ; lv2:index " << lv2port::kFirstAudio + c
                << " ; lv2:symbol \"" << (channels == 1 ? "in" : side[1][c]) << "\" ; lv2:name \"Input"
                << (channels == 1 ? "" : c == 0 ? " left" : " right") << "\" ] ;\n";
        for (std::uint32_t c = 0; c < channels; ++c)
            out << "  lv2:port [ a lv2:OutputPort , lv2:AudioPort ; lv2:index " << lv2port::kFirstAudio + channels + c
                << " ; lv2:symbol \"" << (channels == 1 ? "out" : outSide[c]) << "\" ; lv2:name \"Output"
                << (channels == 1 ? "" : c == 0 ? " left" : " right") << "\" ] ;\n";
        for (std::uint32_t m = 0; m < lv2port::kMeterCount; ++m)
            out << "  lv2:port [ a lv2:OutputPort , lv2:ControlPort ; lv2:index " << lv2port::firstMeter(channels) + m
                << " ; lv2:symbol \"" << lv2port::kMeters[m].symbol << "\" ; lv2:name \"" << lv2port::kMeters[m].name
                << "\" ; lv2:minimum 0.0 ; lv2:maximum 4.0 ; lv2:default 0.0 ]"
                << (m + 1 < lv2port::kMeterCount ? " ;\n" : " .\n\n");
    }
    return out.str();
}

std::string manifestTurtle(const std::string& binary)
{
    std::ostringstream out;
    out << kPrefixes;
    for (const auto& variant : lv2port::kVariants)
        out << "<" << variant.uri << ">\n  a lv2:Plugin ;\n  lv2:binary <" << binary << "> ;\n  rdfs:seeAlso <crumlet.ttl> .\n\n";
    return out.str();
}

bool write(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: crumlet-lv2-turtle BUNDLE_FOLDER BINARY_NAME\n");
        return 2;
    }
    const std::string bundle = argv[1];
    if (!write(bundle + "/manifest.ttl", manifestTurtle(argv[2])) || !write(bundle + "/crumlet.ttl", pluginTurtle()))
    {
        std::fprintf(stderr, "crumlet-lv2-turtle: cannot write into \"%s\"\n", bundle.c_str());
        return 1;
    }
    return 0;
}
