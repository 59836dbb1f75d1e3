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
    for (int i = 0; i < 4; ++i)
        writeTone("in/t" + std::to_string(i) + ".wav", 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2);
    for (const char* jobs : {"1", "2"})
        ASSERT_EQ(runCrumlet({"render", "--in", path("in"), "--out-dir", path(std::string("out") + jobs), "--jobs", jobs,
                              "--codec", "amr:5.9", "--loss", "8%:burst=3", "--radio", "static=-30dB", "--quiet"})
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
    // The preset file renders as the options did.
    r = runCrumlet({"render", "--in", in, "--out", path("again.wav"), "--preset", path("p.json"), "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(bytesOf(path("again.wav")).size(), bytesOf(path("o.wav")).size());

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

} // namespace
