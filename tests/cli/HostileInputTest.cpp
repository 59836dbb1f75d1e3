// `crumlet` given what it cannot serve: audio files, settings files and names built to
// break it. Each is refused up front with a clear message, or reported for what it is;
// nothing crashes, nothing partial is left, and the other files of a batch still render.
#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
class HostileInput : public RenderPipeline
{
};
} // namespace

TEST_F(HostileInput, SampleRatesTheEffectCannotServeAreRefusedUpFront)
{
    // A few hertz overran the loudness meter's buffers; a rate below 16 Hz or above 2.8 MHz
    // could not set it up at all.
    const std::string good = writeTone("in/good.wav", 4800);
    struct Case
    {
        const char* name;
        int format;
        int rate;
    };
    for (const Case c : {Case{"r16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 16},
                         Case{"r16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 16},
                         Case{"r16.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 16},
                         Case{"r16.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 16},
                         Case{"r7999.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 7999},
                         Case{"r384001.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 384001},
                         Case{"r2822401.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2822401}})
    {
        const std::string in = writeTone(c.name, 4800, c.format, 1, c.rate);
        ASSERT_GE(readAll(in).size(), 4800u) << c.name;
        const ProcessResult alone = runCrumlet({"render", "--in", in, "--out", path("o.wav")});
        EXPECT_EQ(alone.exitCode, 2) << c.name << alone.err;
        EXPECT_TRUE(has(alone.err, "a sample rate of " + std::to_string(c.rate) + " Hz") &&
                    has(alone.err, "8000 to 384000 Hz"))
            << alone.err;
        EXPECT_FALSE(fs::exists(path("o.wav"))) << c.name;

        fs::rename(in, path(std::string("in/") + c.name));
        const ProcessResult batch = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--force", "--quiet"});
        EXPECT_EQ(batch.exitCode, 1) << c.name << batch.err;
        EXPECT_TRUE(has(batch.err, "failed: " + path(std::string("in/") + c.name))) << batch.err;
        EXPECT_EQ(filesIn(path("out")), std::vector<std::string>{"good.wav"}) << c.name;
        fs::remove(path(std::string("in/") + c.name));
    }
    EXPECT_EQ(filesIn(m_dir.string()), (std::vector<std::string>{"in/good.wav", "out/good.wav"}));
    // The edges of the range are served.
    for (const int rate : {8000, 384000})
    {
        const std::string in = writeTone("edge.wav", rate / 10, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, rate);
        EXPECT_EQ(runCrumlet({"render", "--in", in, "--out", path("edge-out.wav"), "--match-loudness", "--quiet"}).exitCode, 0)
            << rate;
    }
}
