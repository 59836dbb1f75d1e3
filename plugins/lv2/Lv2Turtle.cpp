// crumlet-lv2-turtle BUNDLE: writes the bundle's manifest.ttl, crumlet.ttl and
// crumlet-line.ttl from the parameter tables and value lists, so the ports can never disagree
// with the effect or the line.
#include "params/ParameterTable.h"
#include "params/ValueLists.h"
#include "plugins/lv2/Lv2LinePorts.h"
#include "plugins/lv2/Lv2Ports.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const char* const kPrefixes =
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n\n";

// The licence of the plugins' binary (README, "Licence"; LICENSE): it contains none of the
// GPL-3.0-only libraries, so the sources' GPL-3.0-or-later holds.
const char* const kLicence = "<http://spdx.org/licenses/GPL-3.0-or-later>";

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
    if (unit == "m")
        return "units:m";
    return nullptr;
}

// A control input: its range, default and unit; a switch is toggled, a list an enumeration
// of its texts.
struct ControlPort
{
    std::string symbol, name;
    float minValue, maxValue, defaultValue;
    std::string unit;
    bool toggled, integer, enumeration;
    std::vector<std::string> scalePoints;
    bool notAutomatic;
};

void controlPort(std::ostream& out, std::uint32_t index, const ControlPort& p)
{
    out << "  lv2:port [\n    a lv2:InputPort , lv2:ControlPort ;\n    lv2:index " << index
        << " ;\n    lv2:symbol " << quoted(p.symbol) << " ;\n    lv2:name " << quoted(p.name) << " ;\n"
        << "    lv2:default " << number(p.defaultValue) << " ;\n    lv2:minimum " << number(p.minValue)
        << " ;\n    lv2:maximum " << number(p.maxValue) << " ;\n";
    if (p.toggled)
        out << "    lv2:portProperty lv2:toggled ;\n";
    if (p.enumeration)
        out << "    lv2:portProperty lv2:integer , lv2:enumeration ;\n";
    else if (p.integer)
        out << "    lv2:portProperty lv2:integer ;\n";
    if (p.notAutomatic)
        out << "    lv2:portProperty pprops:notAutomatic , pprops:expensive ;\n";
    for (std::size_t v = 0; v < p.scalePoints.size(); ++v)
        out << "    lv2:scalePoint [ rdfs:label " << quoted(p.scalePoints[v]) << " ; rdf:value " << v << ".0 ] ;\n";
    if (const char* unit = unitOf(p.unit))
        out << "    units:unit " << unit << " ;\n";
    out << "  ] ;\n";
}

void controlPort(std::ostream& out, std::uint32_t index, const ParameterDefinition& p)
{
    const std::string symbol = toAscii(p.name);
    const bool list = p.hostType == HostType::Int;
    controlPort(out, index,
                {symbol, symbol, p.minValue, p.maxValue, p.defaultValue, p.unit, p.hostType == HostType::Bool, list, list,
                 list ? valueListOf(p.id) : std::vector<std::string>{}, false});
}

void controlPort(std::ostream& out, std::uint32_t index, const plugins::LineParameter& p)
{
    using Kind = plugins::LineParameterKind;
    controlPort(out, index,
                {p.id, p.name, p.minValue, p.maxValue, p.defaultValue, p.unit, p.kind == Kind::Switch,
                 p.kind == Kind::Integer, p.kind == Kind::Choice, p.choices, !p.automatable});
}

// The audio ports of a mono or stereo plugin from `first`.
void audioPorts(std::ostream& out, std::uint32_t first, std::uint32_t channels)
{
    const char* inSide[2] = {"in_l", "in_r"};
    const char* outSide[2] = {"out_l", "out_r"};
    for (std::uint32_t c = 0; c < channels; ++c)
        out << "  lv2:port [ a lv2:InputPort , lv2:AudioPort ; lv2:index " << first + c
            << " ; lv2:symbol \"" << (channels == 1 ? "in" : inSide[c]) << "\" ; lv2:name \"Input"
            << (channels == 1 ? "" : c == 0 ? " left" : " right") << "\" ] ;\n";
    for (std::uint32_t c = 0; c < channels; ++c)
        out << "  lv2:port [ a lv2:OutputPort , lv2:AudioPort ; lv2:index " << first + channels + c
            << " ; lv2:symbol \"" << (channels == 1 ? "out" : outSide[c]) << "\" ; lv2:name \"Output"
            << (channels == 1 ? "" : c == 0 ? " left" : " right") << "\" ] ;\n";
}

std::string pluginTurtle()
{
    std::ostringstream out;
    out << kPrefixes << "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n\n";
    for (const auto& variant : lv2port::kVariants)
    {
        const std::uint32_t channels = variant.channels;
        out << "<" << variant.uri << ">\n  a lv2:Plugin , lv2:DistortionPlugin ;\n  doap:name " << quoted(variant.name)
            << " ;\n  doap:maintainer [ foaf:name \"Orvex\" ] ;\n  doap:license " << kLicence << " ;\n"
            << "  lv2:optionalFeature lv2:hardRTCapable ;\n";
        for (std::uint32_t i = 0; i < kParameterCount; ++i)
            controlPort(out, lv2port::kFirstControl + i, g_parameterDefinitions[i]);
        audioPorts(out, lv2port::kFirstAudio, channels);
        for (std::uint32_t m = 0; m < lv2port::kMeterCount; ++m)
            out << "  lv2:port [ a lv2:OutputPort , lv2:ControlPort ; lv2:index " << lv2port::firstMeter(channels) + m
                << " ; lv2:symbol \"" << lv2port::kMeters[m].symbol << "\" ; lv2:name \"" << lv2port::kMeters[m].name
                << "\" ; lv2:minimum 0.0 ; lv2:maximum 4.0 ; lv2:default 0.0 ]"
                << (m + 1 < lv2port::kMeterCount ? " ;\n" : " .\n\n");
    }
    return out.str();
}

std::string lineTurtle()
{
    std::ostringstream out;
    out << kPrefixes << "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
        << "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
        << "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
        << "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
        << "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n\n";
    for (const auto& variant : lv2line::kVariants)
    {
        const std::uint32_t channels = variant.channels;
        // The host's largest buffer, when it says it (options through its URID map).
        out << "<" << variant.uri << ">\n  a lv2:Plugin , lv2:SimulatorPlugin ;\n  doap:name " << quoted(variant.name)
            << " ;\n  doap:maintainer [ foaf:name \"Orvex\" ] ;\n  doap:license " << kLicence << " ;\n"
            << "  lv2:optionalFeature lv2:hardRTCapable , opts:options , urid:map ;\n"
            << "  opts:supportedOption bufsz:maxBlockLength , bufsz:nominalBlockLength ;\n";
        const auto& table = plugins::lineParameters();
        for (std::uint32_t i = 0; i < plugins::kLineParameterCount; ++i)
            controlPort(out, lv2line::kFirstControl + i, table[i]);
        audioPorts(out, lv2line::kFirstAudio, channels);
        out << "  lv2:port [ a lv2:OutputPort , lv2:ControlPort ; lv2:index " << lv2line::latencyPort(channels)
            << " ; lv2:symbol \"latency\" ; lv2:name \"Latency\" ; lv2:portProperty lv2:reportsLatency , "
               "lv2:integer ; lv2:minimum 0.0 ; lv2:maximum 192000.0 ; lv2:default 0.0 ; units:unit units:frame ] ;\n";
        // Rendering unless the host says otherwise: one that does not know the designation
        // leaves it at 1.
        out << "  lv2:port [ a lv2:InputPort , lv2:ControlPort ; lv2:index " << lv2line::freewheelPort(channels)
            << " ; lv2:symbol \"freewheel\" ; lv2:name \"Freewheeling\" ; lv2:designation lv2:freeWheeling ; "
               "lv2:portProperty lv2:toggled , pprops:notOnGUI ; lv2:minimum 0.0 ; lv2:maximum 1.0 ; "
               "lv2:default 1.0 ] .\n\n";
    }
    return out.str();
}

std::string manifestTurtle(const std::string& binary)
{
    std::ostringstream out;
    out << kPrefixes;
    for (const auto& variant : lv2port::kVariants)
        out << "<" << variant.uri << ">\n  a lv2:Plugin ;\n  lv2:binary <" << binary << "> ;\n  rdfs:seeAlso <crumlet.ttl> .\n\n";
    for (const auto& variant : lv2line::kVariants)
        out << "<" << variant.uri << ">\n  a lv2:Plugin ;\n  lv2:binary <" << binary
            << "> ;\n  rdfs:seeAlso <crumlet-line.ttl> .\n\n";
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
    if (!write(bundle + "/manifest.ttl", manifestTurtle(argv[2])) || !write(bundle + "/crumlet.ttl", pluginTurtle()) ||
        !write(bundle + "/crumlet-line.ttl", lineTurtle()))
    {
        std::fprintf(stderr, "crumlet-lv2-turtle: cannot write into \"%s\"\n", bundle.c_str());
        return 1;
    }
    return 0;
}
