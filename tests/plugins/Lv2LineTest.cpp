// Crumlet Line's LV2 plugins as lilv's tools see and run them: the ports as the line's table
// gives them, a latency port and the host's freewheeling, and lv2apply's output against the
// line rendered in process, later by the latency the port reports.
#include "plugins/common/LineEngine.h"
#include "plugins/common/LineParameters.h"
#include "tests/plugins/Lv2Command.h"
#include "tests/support/TestFolder.h"
#include "transmission/Transmission.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <gtest/gtest.h>
#include <sndfile.hh>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
using namespace plugins;

// The lines of lv2info's listing for port `index`.
std::string portListing(const std::string& info, int index)
{
    const std::string head = "\tPort " + std::to_string(index) + ":";
    const auto at = info.find(head);
    if (at == std::string::npos)
        return {};
    const auto end = info.find("\tPort ", at + head.size());
    return info.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

float codecIndex(transmission::CodecKind kind)
{
    const auto& catalogue = transmission::codecCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        if (catalogue[i].kind == kind)
            return static_cast<float>(i + 1);
    return 0.f;
}

// Speech from the recognizer's test data at 48 kHz, as lv2apply reads it (planar per channel).
std::vector<float> speech48k(const fs::path& dir, int channels)
{
    const std::string path = (dir / "in.wav").string();
    EXPECT_EQ(std::system(("sox /usr/share/pocketsphinx/test/data/librivox/sense_and_sensibility_01_austen_64kb-0870.wav"
                           " -r 48000 -c " + std::to_string(channels) + " -e floating-point '" + path + "' trim 0 1.5")
                              .c_str()),
              0);
    SndfileHandle f(path);
    std::vector<float> x(static_cast<std::size_t>(f.frames()) * f.channels());
    f.readf(x.data(), f.frames());
    return x;
}
} // namespace

TEST(Lv2LineDescription, TheLinesParametersALatencyPortAndTheAudio)
{
    for (const char* uri : {"urn:orvex:crumlet-line:mono", "urn:orvex:crumlet-line:stereo"})
    {
        const int channels = std::string(uri).find("stereo") != std::string::npos ? 2 : 1;
        const std::string info = runWithBundle(std::string("lv2info ") + uri);
        const int latencyPort = static_cast<int>(kLineParameterCount) + 2 * channels;
        EXPECT_NE(info.find("Has latency:       yes, reported by port " + std::to_string(latencyPort)), std::string::npos)
            << info.substr(0, 400);
        EXPECT_NE(portListing(info, latencyPort).find("Symbol:      latency"), std::string::npos);
        // The host's freewheeling, rendering (1) unless it says it plays live.
        const std::string freewheel = portListing(info, latencyPort + 1);
        EXPECT_NE(freewheel.find("Designation: http://lv2plug.in/ns/lv2core#freeWheeling"), std::string::npos) << freewheel;
        EXPECT_NE(freewheel.find("Default:     1.000000"), std::string::npos) << freewheel;
        EXPECT_TRUE(portListing(info, latencyPort + 2).empty());
        for (std::size_t i = 0; i < kLineParameterCount; ++i)
        {
            const LineParameter& p = lineParameters()[i];
            const std::string port = portListing(info, static_cast<int>(i));
            EXPECT_NE(port.find(std::string("Symbol:      ") + p.id + "\n"), std::string::npos) << p.id;
            char range[96];
            std::snprintf(range, sizeof range, "Minimum:     %f\n\t\tMaximum:     %f\n\t\tDefault:     %f", p.minValue,
                          p.maxValue, p.defaultValue);
            EXPECT_NE(port.find(range), std::string::npos) << p.id << "\n" << port;
            for (const auto& choice : p.choices)
                EXPECT_NE(port.find("= \"" + choice + "\""), std::string::npos) << p.id << " " << choice;
        }
    }
}

TEST(Lv2Line, Lv2applyOutputIsTheLineLaterByTheReportedLatency)
{
    if (!transmission::codecEntry(transmission::CodecKind::Gsm).available)
        GTEST_SKIP() << "needs GSM";
    const fs::path dir = crumlet_test::freshTestFolder("crumlet-lv2-line");
    for (int channels : {1, 2})
    {
        const std::vector<float> x = speech48k(dir, channels);
        const std::string uri = channels == 1 ? "urn:orvex:crumlet-line:mono" : "urn:orvex:crumlet-line:stereo";
        int status = 0;
        const std::string out = runWithBundle("lv2apply -i '" + (dir / "in.wav").string() + "' -o '" + (dir / "out.wav").string() +
                                        "' -c codec " + std::to_string(codecIndex(transmission::CodecKind::Gsm)) + " " + uri,
                                    &status);
        ASSERT_EQ(status, 0) << out;
        SndfileHandle f((dir / "out.wav").string());
        ASSERT_EQ(f.channels(), channels);
        std::vector<float> y(static_cast<std::size_t>(f.frames()) * f.channels());
        f.readf(y.data(), f.frames());
        ASSERT_EQ(y.size(), x.size());

        // The line in process: the same warm-up silence, then the speech.
        transmission::TransmissionSettings settings;
        settings.codec = transmission::parseCodec("gsm");
        const std::size_t latency = LineEngine::measureLatency(settings.codec, 48000.0);
        const std::size_t warmUp = LineEngine::warmUpFrames(48000.0, 4096);
        std::vector<float> input(warmUp * channels, 0.f), reference;
        input.insert(input.end(), x.begin(), x.end());
        transmission::Transmission line(settings, 48000.0, static_cast<unsigned>(channels), 1);
        line.process(input.data(), input.size() / channels, reference);
        line.finish(reference);
        float worst = 0.f;
        const std::size_t frames = x.size() / channels;
        for (std::size_t i = latency; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                worst = std::max(worst, std::fabs(y[i * channels + c] - reference[(warmUp + i - latency) * channels + c]));
        EXPECT_LT(worst, 1e-4f) << channels << " channels, latency " << latency;
    }
    fs::remove_all(dir);
}

TEST(Lv2Line, BothChannelsOfCodec2DecodeAlikeFromTheirOwnGenerators)
{
    // Codec 2's decoder draws from a generator the plugin puts in place of the library's (one
    // per channel): the same speech in both channels decodes the same in both. Were the
    // library's process-wide generator drawn from, the channels would differ.
    if (!transmission::codecEntry(transmission::CodecKind::Codec2).available)
        GTEST_SKIP() << "needs Codec 2";
    const fs::path dir = crumlet_test::freshTestFolder("crumlet-lv2-line-codec2");
    speech48k(dir, 2);
    int status = 0;
    const std::string out = runWithBundle("lv2apply -i '" + (dir / "in.wav").string() + "' -o '" + (dir / "out.wav").string() +
                                    "' -c codec " + std::to_string(codecIndex(transmission::CodecKind::Codec2)) +
                                    " urn:orvex:crumlet-line:stereo",
                                &status);
    ASSERT_EQ(status, 0) << out;
    SndfileHandle f((dir / "out.wav").string());
    std::vector<float> y(static_cast<std::size_t>(f.frames()) * 2);
    f.readf(y.data(), f.frames());
    double energy = 0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i + 1 < y.size(); i += 2)
    {
        energy += y[i] * y[i];
        differing += y[i] != y[i + 1] ? 1 : 0;
    }
    EXPECT_GT(energy, 1.0);
    EXPECT_EQ(differing, 0u);
    fs::remove_all(dir);
}
