// `crumlet render` with a transmission after the effect: the length and tail are as without
// it, a batch on two jobs writes the same bytes as on one, bad codecs and rates are refused
// before anything renders with what is available, and presets carry the transmission.
#include "RenderPipelineFixture.h"

#include "CrumletProcess.h"

namespace
{
class TransmissionRender : public RenderPipeline
{
};

TEST_F(TransmissionRender, ACodecKeepsTheRendersLengthAndTheRadioAddsOnlyItsSquelchTail)
{
    const std::string in = writeTone("in.wav", 48000 * 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("plain.wav"), "--preset", "Phone call", "--quiet"}).exitCode, 0);
    SF_INFO plain{};
    readAll(path("plain.wav"), &plain);
    for (const char* codec : {"gsm", "amr:7.4", "opus:12k", "codec2:1600", "lpc10", "g729"})
    {
        const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("coded.wav"), "--preset", "Phone call",
                                            "--codec", codec, "--loss", "5%", "--quiet", "--force"});
        ASSERT_EQ(r.exitCode, 0) << codec << r.err;
        SF_INFO coded{};
        const auto samples = readAll(path("coded.wav"), &coded);
        EXPECT_EQ(coded.frames, plain.frames) << codec;
        for (float x : samples)
            ASSERT_TRUE(std::isfinite(x)) << codec;
    }
    const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("radio.wav"), "--preset", "Phone call",
                                        "--radio", "squelch=200ms", "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    SF_INFO radio{};
    readAll(path("radio.wav"), &radio);
    EXPECT_LE(radio.frames, plain.frames + 48000 / 5);
}

TEST_F(TransmissionRender, ABatchOnTwoJobsWritesTheSameBytesAsOnOne)
{
    // Dated by the sources, not the clock: the batches may render a second apart.
    for (int i = 0; i < 4; ++i)
        writeTone("in/t" + std::to_string(i) + ".wav", 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2);
    for (const char* jobs : {"1", "2"})
        ASSERT_EQ(runCrumlet({"render", "--in", path("in"), "--out-dir", path(std::string("out") + jobs), "--jobs", jobs,
                              "--codec", "amr:5.9", "--loss", "8%:burst=3", "--radio", "static=-30dB", "--reproducible",
                              "--quiet"})
                      .exitCode,
                  0);
    for (int i = 0; i < 4; ++i)
    {
        const std::string name = "t" + std::to_string(i) + ".wav";
        EXPECT_EQ(bytesOf(path("out1/" + name)), bytesOf(path("out2/" + name))) << name;
    }
    // Files differ from one another (each its own seed), and another seed changes them.
    EXPECT_NE(bytesOf(path("out1/t0.wav")), bytesOf(path("out1/t1.wav")));
    ASSERT_EQ(runCrumlet({"render", "--in", path("in/t0.wav"), "--out", path("t0.wav"), "--codec", "amr:5.9", "--loss",
                          "8%:burst=3", "--radio", "static=-30dB", "--seed", "9", "--quiet"})
                  .exitCode,
              0);
    EXPECT_NE(bytesOf(path("t0.wav")), bytesOf(path("out1/t0.wav")));
}

TEST_F(TransmissionRender, UnknownCodecsRatesAndSettingsAreRefusedBeforeAnythingRenders)
{
    const std::string in = writeTone("in.wav", 4800);
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--codec", "mp3"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "no codec \"mp3\"")) << r.err;
    EXPECT_TRUE(has(r.err, "amr (4.75, 5.15")) << r.err;
    EXPECT_TRUE(has(r.err, "opus (6 to 64 kbit/s)")) << r.err;
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--codec", "codec2:2000"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "700, 1200, 1300, 1400, 1600, 2400, 3200 bit/s")) << r.err;
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--loss", "5%"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "--loss needs a codec")) << r.err;
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--radio", "colour=green"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(path("o.wav")));
}

TEST_F(TransmissionRender, PresetsCarryTheirTransmissionThroughFilesAndTheListing)
{
    const std::string in = writeTone("in.wav", 4800);
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--codec", "opus:16k:wb", "--loss",
                                  "2%:burst=3", "--radio", "key=line", "--save-preset", path("p.json"), "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto saved = nlohmann::json::parse(bytesOf(path("p.json")));
    ASSERT_TRUE(saved.contains("transmission")) << saved.dump();
    EXPECT_EQ(saved["transmission"]["codec"], "opus:16k:wb");
    EXPECT_EQ(saved["transmission"]["loss"], "2%:burst=3");
    EXPECT_EQ(saved["transmission"]["radio"], "key=line");
    // The preset file renders as the options do.
    r = runCrumlet({"render", "--in", in, "--out", path("again.wav"), "--preset", path("p.json"), "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readAll(path("again.wav")).size(), readAll(path("o.wav")).size());

    std::ofstream(path("bad.json")) << R"({"EQGain": 3, "transmission": {"codec": "gsm", "jitter": "5ms"}})";
    r = runCrumlet({"render", "--in", in, "--out", path("b.wav"), "--preset", path("bad.json")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "\"jitter\" is not a transmission setting")) << r.err;
    std::ofstream(path("deep.json")) << R"({"transmission": {"codec": {"name": "gsm"}}})";
    r = runCrumlet({"render", "--in", in, "--out", path("b.wav"), "--preset", path("deep.json")});
    EXPECT_EQ(r.exitCode, 2);

    r = runCrumlet({"presets"});
    EXPECT_TRUE(has(r.out, "then: codec gsm")) << r.out;
    r = runCrumlet({"presets", "--json"});
    const auto all = nlohmann::json::parse(r.out);
    EXPECT_TRUE(all["Mobile call (2G)"].contains("transmission"));
}

TEST_F(TransmissionRender, ALineListsRowsTakeTheirPresetsTransmissionAndTheirOwnColumns)
{
    const std::string in = writeTone("in.wav", 24000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    std::ofstream(path("lines.csv")) << "input,output,preset,codec,loss,radio,seed\n"
                                        "in.wav,2g.wav,Mobile call (2G),,,,7\n"
                                        "in.wav,bare.wav,Mobile call (2G),none,,,7\n"
                                        "in.wav,opus.wav,Phone call,opus:12k,3%:burst=2,key=line,7\n";
    ProcessResult r = runCrumlet({"render", "--lines", path("lines.csv"), "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Each row renders as the command line does with the same settings.
    const std::vector<std::vector<std::string>> alone = {
        {"--preset", "Mobile call (2G)", "--out", path("2g-alone.wav")},
        {"--preset", "Mobile call (2G)", "--codec", "none", "--out", path("bare-alone.wav")},
        {"--preset", "Phone call", "--codec", "opus:12k", "--loss", "3%:burst=2", "--radio", "key=line", "--out",
         path("opus-alone.wav")}};
    for (const auto& options : alone)
    {
        std::vector<std::string> command = {"render", "--in", in, "--seed", "7", "--quiet"};
        command.insert(command.end(), options.begin(), options.end());
        ASSERT_EQ(runCrumlet(command).exitCode, 0) << options.back();
    }
    // The samples: the recipes differ where they record the list and row.
    EXPECT_EQ(readAll(path("2g.wav")), readAll(path("2g-alone.wav")));
    EXPECT_EQ(readAll(path("bare.wav")), readAll(path("bare-alone.wav")));
    EXPECT_EQ(readAll(path("opus.wav")), readAll(path("opus-alone.wav")));
    EXPECT_NE(readAll(path("2g.wav")), readAll(path("bare.wav")));

    // JSON lines' true and false switch the radio.
    std::ofstream(path("radio.jsonl")) << R"({"input": "in.wav", "output": "on.wav", "radio": true, "seed": 7})" "\n"
                                       << R"({"input": "in.wav", "output": "off.wav", "radio": false, "seed": 7})" "\n";
    r = runCrumlet({"render", "--lines", path("radio.jsonl"), "--preset", "Walkie-talkie", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const auto& line : jsonLines(r.out))
        if (line.contains("output"))
            EXPECT_EQ(line.contains("transmission"), line["output"].get<std::string>().find("on.wav") != std::string::npos)
                << line.dump();

    std::ofstream(path("bad.csv")) << "input,output,codec,loss\nin.wav,x.wav,mp3,\nin.wav,y.wav,gsm,lots\n";
    r = runCrumlet({"render", "--lines", path("bad.csv")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "row 2, column \"codec\": no codec \"mp3\"")) << r.err;
    EXPECT_TRUE(has(r.err, "row 3, column \"loss\"")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("y.wav")));
}

TEST_F(TransmissionRender, RenderingLikeAFileBringsBackItsTransmissionWhateverItsPresetWas)
{
    const std::string in = writeTone("in.wav", 24000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    std::ofstream(path("own.json")) << R"({"NoiseLevel": -50, "transmission": {"codec": "amr:5.9", "loss": "4%"}})";
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("first.wav"), "--preset", path("own.json"), "--bits",
                          "16", "--quiet"})
                  .exitCode,
              0);
    ProcessResult r = runCrumlet({"info", path("first.wav")});
    EXPECT_TRUE(has(r.out, "then: codec amr:5.9")) << r.out;
    // The preset file may be gone: the WAV carries the transmission.
    std::filesystem::remove(path("own.json"));
    r = runCrumlet({"render", "--like", path("first.wav"), "--in", in, "--out", path("again.wav"), "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The same samples (the bext chunk's date may differ).
    EXPECT_TRUE(readAll(path("again.wav")) == readAll(path("first.wav")));
    // A file whose shipped preset's transmission was left out is rendered again without it.
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("bare.wav"), "--preset", "Mobile call (2G)", "--codec",
                          "none", "--bits", "16", "--quiet"})
                  .exitCode,
              0);
    ASSERT_EQ(runCrumlet({"render", "--like", path("bare.wav"), "--in", in, "--out", path("bare-again.wav"), "--quiet"})
                  .exitCode,
              0);
    EXPECT_TRUE(readAll(path("bare-again.wav")) == readAll(path("bare.wav")));
}

TEST_F(TransmissionRender, EachFilesReportSaysWhatTheTransmissionDid)
{
    const std::string in = writeTone("in.wav", 96000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--codec", "gsm", "--loss", "20%",
                                  "--radio", "key=line", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto line = jsonLines(r.out).front();
    ASSERT_TRUE(line.contains("transmission")) << r.out;
    const auto& t = line["transmission"];
    EXPECT_EQ(t["settings"], "codec gsm, loss 20%, radio key=line");
    // Two seconds of 20 ms frames and the effect's tail, a fifth of them lost; the whole line
    // is one over.
    EXPECT_GE(t["framesSent"].get<int>(), 100);
    EXPECT_LE(t["framesSent"].get<int>(), 110);
    EXPECT_GT(t["framesLost"].get<int>(), 8);
    EXPECT_LT(t["framesLost"].get<int>(), 35);
    EXPECT_EQ(t["overs"], 1);
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--codec", "gsm", "--loss", "20%", "--force"});
    EXPECT_TRUE(has(r.err, "; then codec gsm, loss 20%: " + std::to_string(t["framesLost"].get<int>()) + " of ")) << r.err;

    r = runCrumlet({"render", "--in", in, "--out", path("plain.wav"), "--json"});
    EXPECT_FALSE(jsonLines(r.out).front().contains("transmission")) << r.out;
}

} // namespace
