// The LV2 bundle as LV2 hosts nobody here wrote see and run it: lilv's lv2info and lv2apply,
// and lv2file, against the parameter catalogue and against `crumlet render`.
#include "params/ParameterTable.h"
#include "params/ValueLists.h"
#include "tests/plugins/Lv2Command.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>
#include <sndfile.hh>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct Port
{
    std::string symbol;
    double minimum = NAN, maximum = NAN, defaultValue = NAN;
    int scalePoints = 0;
    std::vector<std::string> types;
};

// lv2info's port listing, by index.
std::map<int, Port> portsOf(const std::string& uri)
{
    std::map<int, Port> ports;
    std::istringstream in(runWithBundle("lv2info " + uri));
    Port* port = nullptr;
    bool inScale = false;
    for (std::string line; std::getline(in, line);)
    {
        int index = 0;
        if (std::sscanf(line.c_str(), "\tPort %d:", &index) == 1)
        {
            port = &ports[index];
            inScale = false;
            continue;
        }
        if (port == nullptr)
            continue;
        auto value = [&](const char* key) { return std::strtod(line.substr(line.find(key) + std::strlen(key)).c_str(), nullptr); };
        if (line.find("Symbol:") != std::string::npos)
            port->symbol = line.substr(line.find(':') + 1), port->symbol.erase(0, port->symbol.find_first_not_of(" \t"));
        else if (line.find("Minimum:") != std::string::npos)
            port->minimum = value("Minimum:");
        else if (line.find("Maximum:") != std::string::npos)
            port->maximum = value("Maximum:");
        else if (line.find("Default:") != std::string::npos)
            port->defaultValue = value("Default:");
        else if (line.find("Scale Points:") != std::string::npos)
            inScale = true;
        else if (inScale && line.find(" = \"") != std::string::npos)
            ++port->scalePoints;
        else if (line.find("http://lv2plug.in/ns/lv2core#") != std::string::npos)
            port->types.push_back(line.substr(line.find('#') + 1));
        if (line.find("Symbol:") != std::string::npos)
            inScale = false;
    }
    return ports;
}

bool hasType(const Port& p, const std::string& type)
{
    for (const auto& t : p.types)
        if (t == type)
            return true;
    return false;
}

std::vector<float> readAll(const std::string& file, int* channels = nullptr)
{
    SndfileHandle f(file);
    std::vector<float> samples(static_cast<std::size_t>(std::max<sf_count_t>(f.frames(), 0)) * f.channels());
    f.readf(samples.data(), f.frames());
    if (channels != nullptr)
        *channels = f.channels();
    return samples;
}

class Lv2Plugin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = crumlet_test::freshTestFolder("crumlet-lv2");
        // Three seconds of a tone and noise, stereo float at 48 kHz.
        std::vector<float> x(48000 * 3 * 2);
        std::srand(5);
        for (std::size_t i = 0; i < x.size(); ++i)
            x[i] = 0.3f * std::sin(0.03f * static_cast<float>(i / 2)) + 0.05f * (std::rand() / float(RAND_MAX) - 0.5f);
        SndfileHandle f(path("in.wav"), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000);
        f.writef(x.data(), 48000 * 3);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    // `crumlet render` of the same input: the reference the wrappers must match.
    std::vector<float> rendered(const std::string& settings)
    {
        int status = 0;
        const std::string out = runWithBundle("'" CRUMLET_TOOL_PATH "' render --quiet --in '" + path("in.wav") + "' --out '" +
                                        path("crumlet.wav") + "' --set " + settings,
                                    &status);
        EXPECT_EQ(status, 0) << out;
        return readAll(path("crumlet.wav"));
    }

    fs::path m_dir;
};

void expectSameOverInput(const std::vector<float>& plugin, const std::vector<float>& reference)
{
    ASSERT_EQ(plugin.size(), 48000u * 3 * 2);
    ASSERT_GE(reference.size(), plugin.size()); // the render adds the tail
    std::size_t differing = 0;
    for (std::size_t i = 0; i < plugin.size(); ++i)
        differing += plugin[i] != reference[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u);
}
} // namespace

TEST(Lv2Description, FortyControlInputsAsTheCatalogueGivesThem)
{
    for (const char* uri : {"urn:orvex:crumlet:stereo", "urn:orvex:crumlet:mono"})
    {
        const auto ports = portsOf(uri);
        const int channels = std::string(uri).find("stereo") != std::string::npos ? 2 : 1;
        ASSERT_EQ(ports.size(), kParameterCount + 2 * channels + 4) << uri;
        for (std::size_t i = 0; i < kParameterCount; ++i)
        {
            const ParameterDefinition& d = g_parameterDefinitions[i];
            const Port& p = ports.at(static_cast<int>(i));
            EXPECT_EQ(p.symbol, toAscii(d.name));
            EXPECT_TRUE(hasType(p, "InputPort") && hasType(p, "ControlPort")) << p.symbol;
            EXPECT_FLOAT_EQ(static_cast<float>(p.minimum), d.minValue) << p.symbol;
            EXPECT_FLOAT_EQ(static_cast<float>(p.maximum), d.maxValue) << p.symbol;
            EXPECT_FLOAT_EQ(static_cast<float>(p.defaultValue), d.defaultValue) << p.symbol;
            EXPECT_EQ(hasType(p, "toggled"), d.hostType == HostType::Bool) << p.symbol;
            EXPECT_EQ(hasType(p, "enumeration"), d.hostType == HostType::Int) << p.symbol;
            EXPECT_EQ(static_cast<std::size_t>(p.scalePoints), valueListOf(d.id).size()) << p.symbol;
        }
        EXPECT_TRUE(hasType(ports.at(static_cast<int>(kParameterCount)), "AudioPort"));
    }
    // The device names are the SIM port's scale points.
    const std::string info = runWithBundle("lv2info urn:orvex:crumlet:stereo");
    EXPECT_NE(info.find("= \"" + std::string(g_deviceNames[92]) + "\""), std::string::npos);
}

// Every plugin of the bundle declares the licence the sources carry (README, "Licence").
TEST(Lv2Description, EveryPluginDeclaresTheGpl)
{
    const std::string gpl = "doap:license <http://spdx.org/licenses/GPL-3.0-or-later>";
    for (const char* file : {"crumlet.ttl", "crumlet-line.ttl"})
    {
        std::ifstream in(std::string(CRUMLET_LV2_PATH) + "/crumlet.lv2/" + file);
        std::stringstream turtle;
        turtle << in.rdbuf();
        const std::string text = turtle.str();
        auto count = [&text](const std::string& what) {
            int n = 0;
            for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
                ++n;
            return n;
        };
        EXPECT_EQ(count("a lv2:Plugin"), 2) << file << ": mono and stereo";
        EXPECT_EQ(count(gpl), 2) << file;
        EXPECT_EQ(count("doap:license"), 2) << file;
    }
}

TEST_F(Lv2Plugin, Lv2applyRendersAsTheHostDoes)
{
    // lv2apply runs one frame at a time; the noise is drawn per buffer, so it is off here.
    int status = 0;
    const std::string out = runWithBundle("lv2apply -i '" + path("in.wav") + "' -o '" + path("lv2.wav") +
                                    "' -c SIMType 92 -c DistortionAmount 40 -c NoiseEnable 0 -c EQGain -6 urn:orvex:crumlet:stereo",
                                &status);
    ASSERT_EQ(status, 0) << out;
    expectSameOverInput(readAll(path("lv2.wav")), rendered("SIMType=#92 DistortionAmount=40 NoiseEnable=off EQGain=-6"));
}

TEST_F(Lv2Plugin, Lv2fileInBuffersOfTheHostsSizeMatchesEveryStage)
{
    std::string list = runWithBundle("lv2file -l");
    const auto at = list.find("urn:orvex:crumlet:stereo");
    ASSERT_NE(at, std::string::npos) << list;
    const std::string index = list.substr(list.rfind('\n', at) + 1, list.find('\t', list.rfind('\n', at) + 1) - list.rfind('\n', at) - 1);
    int status = 0;
    const std::string out = runWithBundle("lv2file -b 512 -i '" + path("in.wav") + "' -o '" + path("lv2file.wav") +
                                    "' -p SIMType:92 -p DistortionAmount:40 -p NoiseLevel:-40 -p LoFiBitDepthType:7 " + index,
                                &status);
    ASSERT_EQ(status, 0) << out;
    expectSameOverInput(readAll(path("lv2file.wav")), rendered("SIMType=#92 DistortionAmount=40 NoiseLevel=-40 LoFiBitDepthType=#7"));
}
