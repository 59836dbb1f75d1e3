// `crumlet render` with a space after the effect: the space's decay follows the line and the
// report says how long it is, the recipe brings the space back sample for sample, presets and
// line lists carry it (an impulse response file beside the list), and a space that cannot be
// made is refused before anything renders.
#include "RenderPipelineFixture.h"

#include "CrumletProcess.h"

#include <fstream>

namespace
{
class SpaceRender : public RenderPipeline
{
};

TEST_F(SpaceRender, TheDecayFollowsTheLineAndTheRecipeBringsTheSpaceBack)
{
    const std::string in = writeTone("in.wav", 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("dry.wav"), "--bits", "16", "--quiet"}).exitCode, 0);
    const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("wet.wav"), "--bits", "16", "--space",
                                        "station:mix=40", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = jsonLines(r.out);
    ASSERT_FALSE(lines.empty());
    const double tail = lines[0]["space"]["tailSeconds"].get<double>();
    EXPECT_EQ(lines[0]["space"]["settings"], "station:mix=40");
    EXPECT_GT(tail, 2.0); // a concourse rings for seconds
    SF_INFO dry{}, wet{};
    readAll(path("dry.wav"), &dry);
    readAll(path("wet.wav"), &wet);
    EXPECT_NEAR(static_cast<double>(wet.frames - dry.frames) / 48000.0, tail, 1e-3);

    // --like renders the same samples; --space off leaves the space out.
    ASSERT_EQ(runCrumlet({"render", "--like", path("wet.wav"), "--in", in, "--out", path("again.wav"), "--quiet"}).exitCode, 0);
    EXPECT_EQ(readAll(path("again.wav")), readAll(path("wet.wav")));
    ASSERT_EQ(runCrumlet({"render", "--like", path("wet.wav"), "--in", in, "--out", path("off.wav"), "--space", "off",
                          "--quiet"})
                  .exitCode,
              0);
    SF_INFO off{};
    readAll(path("off.wav"), &off);
    EXPECT_EQ(off.frames, dry.frames);
}

TEST_F(SpaceRender, PresetsAndLineListsCarryTheSpace)
{
    const std::string in = writeTone("list/a.wav", 24000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    // An impulse response beside the list: one sample at 10 ms, half scale.
    std::vector<float> response(480, 0.f);
    response[479] = 0.5f;
    SndfileHandle(path("list/ir.wav"), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000).writef(response.data(), 480);
    std::ofstream(path("list/car.json")) << R"({"transmission": {"space": "car:mix=50"}})";
    std::ofstream(path("list/lines.csv")) << "input,output,preset,space\n"
                                             "a.wav,out/plain.wav,,\n"
                                             "a.wav,out/preset.wav,car.json,\n"
                                             "a.wav,out/file.wav,,ir.wav\n";
    const ProcessResult r = runCrumlet({"render", "--lines", path("list/lines.csv"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    SF_INFO plain{}, preset{}, file{};
    const auto dry = readAll(path("list/out/plain.wav"), &plain);
    readAll(path("list/out/preset.wav"), &preset);
    const auto delayed = readAll(path("list/out/file.wav"), &file);
    EXPECT_GT(preset.frames, plain.frames);
    // The file's response as it is: the line delayed by 479 samples at half its level.
    ASSERT_EQ(file.frames, plain.frames + 479);
    for (std::size_t i = 0; i < dry.size(); i += 97)
        EXPECT_NEAR(delayed[i + 479], 0.5f * dry[i], 1e-6f) << i;
}

// A shipped preset's space is listed, printed in its file form and saved with it: the saved
// file renders as the shipped preset does.
TEST_F(SpaceRender, AShippedPresetsSpaceTravelsWithIt)
{
    ProcessResult r = runCrumlet({"presets"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(has(r.out, "heard in station:distance=10")) << r.out;
    r = runCrumlet({"presets", "Radio in a stairwell"});
    EXPECT_TRUE(has(r.out, "  heard in stairwell")) << r.out;
    r = runCrumlet({"presets", "--json"});
    const auto all = nlohmann::json::parse(r.out);
    EXPECT_EQ(all["Television next door"]["transmission"]["space"], "next-room");

    ASSERT_EQ(runCrumlet({"presets", "Intercom", "--save", path("intercom.json")}).exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(bytesOf(path("intercom.json")))["transmission"]["space"], "lobby");
    const std::string in = writeTone("in.wav", 24000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("shipped.wav"), "--preset", "Intercom", "--quiet"}).exitCode, 0);
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("saved.wav"), "--preset", path("intercom.json"), "--quiet"})
                  .exitCode,
              0);
    SF_INFO shipped{}, dry{};
    EXPECT_EQ(readAll(path("saved.wav")), readAll(path("shipped.wav"), &shipped));
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("dry.wav"), "--preset", "Intercom", "--space", "off",
                          "--quiet"})
                  .exitCode,
              0);
    readAll(path("dry.wav"), &dry);
    EXPECT_GT(shipped.frames, dry.frames + 48000); // the lobby rings on for over a second
}

TEST_F(SpaceRender, ASpaceThatCannotBeMadeIsRefusedBeforeAnythingRenders)
{
    const std::string in = writeTone("a.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    for (const char* bad : {"nosuch", "station:mix=150", "station:distance=-1", "station:distance=500", "station:predelay=x", "station:echo=1"})
    {
        const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("x.wav"), "--space", bad});
        EXPECT_EQ(r.exitCode, 2) << bad << "\n" << r.err;
        EXPECT_FALSE(std::filesystem::exists(path("x.wav"))) << bad;
    }
    std::ofstream(path("lines.csv")) << "input,output,space\na.wav,o1.wav,car\na.wav,o2.wav,nosuch.wav\n";
    const ProcessResult r = runCrumlet({"render", "--lines", path("lines.csv")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "row 3, column \"space\": no space or file")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("o1.wav")));
}
TEST_F(SpaceRender, ABatchOnTwoJobsWritesTheSameSamplesAsOnOne)
{
    for (int i = 0; i < 4; ++i)
        writeTone("in/t" + std::to_string(i) + ".wav", 24000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2);
    for (const char* jobs : {"1", "2"})
        ASSERT_EQ(runCrumlet({"render", "--in", path("in"), "--out-dir", path(std::string("out") + jobs), "--jobs", jobs,
                              "--space", "church:mix=50", "--quiet"})
                      .exitCode,
                  0);
    for (int i = 0; i < 4; ++i)
    {
        const std::string name = "t" + std::to_string(i) + ".wav";
        EXPECT_EQ(readAll(path("out1/" + name)), readAll(path("out2/" + name))) << name;
    }
}
} // namespace
