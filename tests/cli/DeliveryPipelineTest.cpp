// `crumlet render` delivering a dialogue job: the rate, depth and channels asked for, dither,
// the plain word for a format a container cannot hold, variation reported per file, and WAV
// files that say how they were made, rendered again identically from what they say.
#include "cli/ToolVersion.h"
#include "cli/io/BextChunk.h"
#include "cli/render/EffectHost.h"
#include "cli/render/RenderProvenance.h"

#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <gtest/gtest.h>

namespace
{
using DeliveryPipeline = RenderPipeline;
} // namespace

TEST_F(DeliveryPipeline, TheRateDepthAndChannelsAskedForWhateverTheInputs)
{
    const std::string in = writeTone("in.wav", 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 22050);
    const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--rate", "48k", "--bits", "16",
                                        "--channels", "1", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    SF_INFO info{};
    readAll(path("o.wav"), &info);
    EXPECT_EQ(info.samplerate, 48000);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const auto j = jsonLines(r.out).at(0);
    EXPECT_EQ(j["inputSampleRate"], 22050);
    EXPECT_EQ(j["inputChannels"], 2);
    EXPECT_EQ(j["framesIn"], 48000);
    EXPECT_TRUE(has(r.err, "resampled from 22050 Hz; 2 channels folded to 1;")) << r.err;

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--bits", "16", "--format", "float"}, {"--bits", "20"}, {"--channels", "2"}, {"--rate", "100"},
             {"--rate", "44.1234k"}, {"--dither", "shaped"}, {"--seed", "-1"}})
    {
        std::vector<std::string> args = {"render", "--in", in, "--out", path("bad.wav")};
        args.insert(args.end(), bad.begin(), bad.end());
        const ProcessResult b = runCrumlet(args);
        EXPECT_EQ(b.exitCode, 2) << bad[0] << " " << bad[1] << ": " << b.err;
        EXPECT_FALSE(std::filesystem::exists(path("bad.wav")));
    }
}

TEST_F(DeliveryPipeline, AContainerThatCannotHoldTheSampleFormatSaysSo)
{
    const std::string in = writeTone("in.wav", 4800);
    const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.ogg"), "--format", "pcm16"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "\".ogg\" files cannot hold pcm16 samples") && has(r.err, "as .wav")) << r.err;
    EXPECT_FALSE(has(r.err, "2 channels")) << r.err;
}

TEST_F(DeliveryPipeline, IntegerOutputsAreDitheredFromTheFilesSeed)
{
    const std::string in = writeTone("in.wav", 9600);
    auto render = [&](const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> args = {"render", "--in", in, "--out", path(name)};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(runCrumlet(args).exitCode, 0);
        return readAll(path(name));
    };
    const auto dithered = render("a.wav", {"--bits", "16", "--seed", "3"});
    EXPECT_EQ(render("b.wav", {"--bits", "16", "--seed", "3"}), dithered);
    EXPECT_NE(render("c.wav", {"--format", "pcm16", "--seed", "4"}), dithered);
    EXPECT_NE(render("plain.wav", {"--bits", "16", "--dither", "none", "--seed", "3"}), dithered);
    // Against the same render in floats: the error is TPDF's, at most a step and a half
    // either way and half a step RMS (-96.3 dBFS), without a bias.
    const auto exact = render("exact.wav", {"--format", "float"});
    ASSERT_EQ(exact.size(), dithered.size());
    double sum = 0, squares = 0;
    for (std::size_t i = 0; i < exact.size(); ++i)
    {
        const double steps = (dithered[i] - exact[i]) * 32768.0;
        ASSERT_LE(std::abs(steps), 1.5);
        sum += steps;
        squares += steps * steps;
    }
    const double n = static_cast<double>(exact.size());
    EXPECT_NEAR(sum / n, 0.0, 0.02);
    EXPECT_NEAR(std::sqrt(squares / n), 0.5, 0.02);
}

TEST_F(DeliveryPipeline, VariationIsDrawnPerFileRepeatsOnARerunAndIsReported)
{
    writeTone("in/a.wav", 4800);
    writeTone("in/b.wav", 4800);
    auto run = [&](const std::string& out) {
        const ProcessResult r = runCrumlet({"render", "--in", path("in"), "--out-dir", path(out), "--preset", "Broken toy",
                                            "--vary", "SIMTuning=+-6", "NoiseLevel=+-3dB", "--json", "--jobs", "1"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(has(r.err, "; varied SIMTuning ")) << r.err;
        std::map<std::string, nlohmann::json> byName;
        for (const auto& j : jsonLines(r.out))
            if (j.contains("output"))
                byName[std::filesystem::path(j["output"].get<std::string>()).filename().string()] = j["variation"];
        return byName;
    };
    const auto first = run("one"), second = run("two");
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first, second);
    EXPECT_NE(first.at("a.wav")["SIMTuning"]["value"], first.at("b.wav")["SIMTuning"]["value"]);
    EXPECT_EQ(readAll(path("one/a.wav")), readAll(path("two/a.wav")));
}

// Files sharing a --seed still draw their own variation (the seed mixed with the output's
// name); --epoch draws anew for the same files, the same epoch again the same.
TEST_F(DeliveryPipeline, ASharedSeedDrawsPerFileAndAnEpochDrawsAnew)
{
    writeTone("in/a.wav", 4800);
    writeTone("in/b.wav", 4800);
    auto run = [&](const std::string& out, const std::string& epoch) {
        const ProcessResult r = runCrumlet({"render", "--in", path("in"), "--out-dir", path(out), "--preset", "Broken toy",
                                            "--vary", "SIMTuning=+-6", "--seed", "11", "--epoch", epoch, "--json",
                                            "--jobs", "1"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::map<std::string, nlohmann::json> byName;
        for (const auto& j : jsonLines(r.out))
            if (j.contains("output"))
                byName[std::filesystem::path(j["output"].get<std::string>()).filename().string()] = j["variation"];
        return byName;
    };
    const auto first = run("zero", "0"), epoch = run("one", "1"), again = run("again", "1");
    ASSERT_EQ(first.size(), 2u);
    EXPECT_NE(first.at("a.wav")["SIMTuning"]["value"], first.at("b.wav")["SIMTuning"]["value"]);
    EXPECT_NE(first.at("a.wav")["SIMTuning"]["value"], epoch.at("a.wav")["SIMTuning"]["value"]);
    EXPECT_EQ(epoch, again);
    EXPECT_EQ(readAll(path("one/a.wav")), readAll(path("again/a.wav")));
}

// The seed draws only what comes after the effect: the effect's own noise is the module's
// fixed sequence, as in a host, so without a transmission every seed renders the same file.
TEST_F(DeliveryPipeline, TheEffectsNoiseIsTheSameForEverySeed)
{
    writeTone("in.wav", 4800);
    auto render = [&](const std::string& out, const std::string& seed) {
        const ProcessResult r = runCrumlet({"render", "--in", path("in.wav"), "--out", path(out), "--set",
                                            "NoiseEnable=on", "--set", "NoiseLevel=-30dB", "--seed", seed});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return readAll(path(out));
    };
    const auto zero = render("s0.wav", "0");
    EXPECT_EQ(render("s1.wav", "1"), zero);
    EXPECT_EQ(render("s2.wav", "2"), zero);
}

TEST_F(DeliveryPipeline, AWavFileSaysHowItWasMadeAndRendersAgainIdentically)
{
    const std::string in = writeTone("in.wav", 9600, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100);
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("line.wav"), "--preset", "Police radio", "--set",
                                  "OutputGain=-3", "--vary", "SIMTuning=+-6", "--seed", "42", "--rate", "48000", "--bits",
                                  "24", "--loudness", "-23"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const OutputMetadata m = readMetadata(path("line.wav"));
    const std::string tool = std::string("crumlet ") + kToolVersion;
    EXPECT_TRUE(has(m.description, tool + ": preset Police radio; varied SIMTuning=")) << m.description;
    EXPECT_EQ(m.originator, "crumlet");
    EXPECT_EQ(m.originationDate.size(), 10u);
    EXPECT_EQ(m.codingHistory.rfind("A=PCM,F=48000,W=24,M=stereo,T=" + tool + "; preset=Police radio; settings ", 0), 0u)
        << m.codingHistory;
    EXPECT_TRUE(has(m.codingHistory, " OutputGain=-3") && has(m.codingHistory, "; seed 42\r\n")) << m.codingHistory;
    const RenderRecipe recipe = readRecipe(path("line.wav"), EffectHost::instance().description());
    EXPECT_EQ(recipe.preset, "Police radio");
    EXPECT_EQ(recipe.seed, 42u);
    EXPECT_EQ(recipe.delivery.sampleRate, 48000u);
    EXPECT_EQ(recipe.sampleFormat, "pcm24");
    ASSERT_TRUE(recipe.loudness.has_value());
    EXPECT_EQ(*recipe.loudness, -23.0);
    ASSERT_EQ(recipe.varied.size(), 1u);
    EXPECT_EQ(recipe.varied[0].property, "SIMTuning");
    EXPECT_EQ(recipe.block.size(), 139u);

    // Months later: the same line from what the file says.
    r = runCrumlet({"render", "--like", path("line.wav"), "--in", in, "--out", path("again.wav")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    SF_INFO info{};
    const auto again = readAll(path("again.wav"), &info);
    EXPECT_EQ(info.samplerate, 48000);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(again, readAll(path("line.wav")));
    EXPECT_EQ(readMetadata(path("again.wav")).settingsJson, m.settingsJson);

    r = runCrumlet({"info", path("line.wav")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(has(r.out, "48000 Hz, 2 channels") && has(r.out, "preset \"Police radio\", seed 42") &&
                has(r.out, "OutputGain=-3") && has(r.out, "varied: SIMTuning"))
        << r.out;
    r = runCrumlet({"info", path("line.wav"), "--json"});
    const auto j = jsonLines(r.out).at(0);
    EXPECT_EQ(j["crumlet"]["seed"], "42");
    EXPECT_EQ(j["crumlet"]["settings"]["OutputGain"], -3.0);
    EXPECT_EQ(j["bext"]["originator"], "crumlet");

    // Floats carry it too.
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("f.wav")}).exitCode, 0);
    r = runCrumlet({"render", "--like", path("f.wav"), "--in", in, "--out", path("g.wav")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readAll(path("g.wav")), readAll(path("f.wav")));
}
