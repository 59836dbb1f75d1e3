// `crumlet render` as a production pipeline runs it: the tool as a separate process, its
// exit codes, messages and files.
#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST_F(RenderPipeline, AnOutputThatIsAnInputIsRefusedByAnyPath)
{
    const std::string in = writeTone("a.wav", 4800);
    const std::string before = bytesOf(in);
    fs::create_directories(m_dir / "sub");
    fs::create_hard_link(in, path("link.wav"));
    for (const std::string& out : {in, path("sub/../a.wav"), path("link.wav")})
        for (const char* force : {"--quiet", "--force"})
        {
            const ProcessResult r = runCrumlet({"render", "--in", in, "--out", out, force});
            EXPECT_EQ(r.exitCode, 2) << out;
            EXPECT_TRUE(has(r.err, "\"" + out + "\"") && has(r.err, "\"" + in + "\"")) << r.err;
        }
    // A batch into the folder that holds the inputs: refused before anything renders.
    const ProcessResult batch = runCrumlet({"render", "--in", in, "--out-dir", path(""), "--force", "--quiet"});
    EXPECT_EQ(batch.exitCode, 2);
    EXPECT_TRUE(has(batch.err, "is the input")) << batch.err;
    // Nor may an output take the place of the preset the settings come from.
    std::ofstream(path("p.json")) << R"({"EQGain": 3})";
    const ProcessResult preset = runCrumlet({"render", "--in", in, "--preset", path("p.json"), "--out", path("p.json")});
    EXPECT_EQ(preset.exitCode, 2);
    EXPECT_EQ(bytesOf(path("p.json")), R"({"EQGain": 3})");

    EXPECT_EQ(bytesOf(in), before);
    EXPECT_EQ(filesIn(m_dir.string()), (std::vector<std::string>{"a.wav", "link.wav", "p.json"}));
}

TEST_F(RenderPipeline, APresetIsSavedOnlyAfterASuccessfulRenderAndReplacedOnlyWithForce)
{
    const std::string preset = path("saved.json");
    std::ofstream(preset) << "precious";
    // A failing render (its input is missing) leaves the preset file alone.
    ProcessResult r = runCrumlet({"render", "--in", path("missing.wav"), "--out", path("o.wav"), "--save-preset",
                                  preset, "--force"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(bytesOf(preset), "precious");
    // An existing file without --force: refused before anything is rendered.
    const std::string in = writeTone("a.wav", 4800);
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--save-preset", preset});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "--force")) << r.err;
    EXPECT_EQ(bytesOf(preset), "precious");
    EXPECT_FALSE(fs::exists(path("o.wav")));
    // With --force, after the render.
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--set", "EQGain=4", "--save-preset", preset,
                    "--force", "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(bytesOf(preset))["EQGain"], 4.0);
}

TEST_F(RenderPipeline, AnInterruptedBatchKeepsFinishedFilesAndRemovesPartialOnes)
{
    // The second input is a pipe fed slowly, so the batch is still busy with it when the
    // signal comes; the first input is finished by then.
    writeTone("in/a.wav", 4800);
    // Two more after it never start: they are told in one line, not one "interrupted" each.
    writeTone("in/c.wav", 4800);
    writeTone("in/d.wav", 4800);
    const std::string pipe = path("in/b.wav");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::string stream = bytesOf(writeTone("src.wav", 48000 * 30));
    for (int signalNumber : {SIGTERM, SIGINT})
    {
        fs::remove_all(m_dir / "out");
        CrumletProcess crumlet({"render", "--in", path("in/a.wav"), pipe, path("in/c.wav"), path("in/d.wav"),
                                "--out-dir", path("out"), "--jobs", "1"});
        // Opening a pipe's writing end without blocking fails until its reader has it open.
        int feed = -1;
        for (int tries = 0; feed < 0 && tries < 2000 && crumlet.running(); ++tries)
        {
            feed = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_GE(feed, 0) << crumlet.wait().err;
        ::signal(SIGPIPE, SIG_IGN);
        std::size_t sent = 0;
        bool signalled = false;
        const auto start = std::chrono::steady_clock::now();
        while (crumlet.running() && std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
        {
            const ssize_t n = ::write(feed, stream.data() + sent, std::min<std::size_t>(8192, stream.size() - sent));
            sent += n > 0 ? static_cast<std::size_t>(n) : 0;
            if (!signalled && sent > stream.size() / 4)
            {
                crumlet.signal(signalNumber);
                signalled = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ::close(feed);
        const ProcessResult r = crumlet.wait();
        EXPECT_EQ(r.exitCode, 128 + signalNumber) << r.err;
        EXPECT_EQ(filesIn(path("out")), std::vector<std::string>{"a.wav"});
        EXPECT_EQ(readAll(path("out/a.wav")).size() % 2, 0u);
        EXPECT_GE(readAll(path("out/a.wav")).size(), 2u * 4800u);
        EXPECT_TRUE(has(r.err, "1 of 4 files rendered") && has(r.err, "interrupted")) << r.err;
        EXPECT_TRUE(has(r.err, "interrupted: " + pipe)) << r.err;
        EXPECT_TRUE(has(r.err, "not started: 2 files: " + path("in/c.wav") + ", " + path("in/d.wav") + "\n")) << r.err;
        EXPECT_FALSE(has(r.err, "interrupted: " + path("in/c.wav"))) << r.err;
    }
}

TEST_F(RenderPipeline, ReRunsSkipExistingOutputsOrSayHowToProceed)
{
    writeTone("in/a.wav", 4800);
    writeTone("in/b.wav", 4800);
    fs::create_directories(m_dir / "out");
    std::ofstream(path("out/a.wav")) << "earlier run";

    // Told once, before anything renders; nothing is rendered until the user chooses.
    ProcessResult r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "1 of 2 outputs exist") && has(r.err, "--skip-existing leaves them, --force replaces them"))
        << r.err;
    EXPECT_EQ(bytesOf(path("out/a.wav")), "earlier run");
    EXPECT_EQ(filesIn(path("out")), std::vector<std::string>{"a.wav"});

    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--skip-existing", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(bytesOf(path("out/a.wav")), "earlier run");
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["status"], "skipped");
    EXPECT_EQ(lines[1]["status"], "rendered");
    EXPECT_EQ(lines[2]["summary"]["skipped"], 1);
    EXPECT_TRUE(has(r.err, "skipped: ")) << r.err;

    // All of them there: one line, however many.
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "2 outputs exist (")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--force", "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(bytesOf(path("out/a.wav")), "earlier run");
}

// A single --out that exists is refused as a batch's outputs are, not replaced silently.
TEST_F(RenderPipeline, ASingleOutputThatExistsIsReplacedOnlyWithForce)
{
    const std::string in = writeTone("a.wav", 4800);
    std::ofstream(path("o.wav")) << "earlier run";
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "exists: --force replaces it")) << r.err;
    EXPECT_EQ(bytesOf(path("o.wav")), "earlier run");
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--skip-existing", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(jsonLines(r.out).at(0)["status"], "skipped");
    EXPECT_EQ(bytesOf(path("o.wav")), "earlier run");
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--force", "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(bytesOf(path("o.wav")), "earlier run");
}

TEST_F(RenderPipeline, ADamagedInputIsReportedAndLeavesNoOutput)
{
    const std::string whole = bytesOf(writeTone("whole.wav", 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    std::ofstream(path("cut.wav"), std::ios::binary) << whole.substr(0, whole.size() / 2);
    ProcessResult r = runCrumlet({"render", "--in", path("cut.wav"), "--out", path("o.wav")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(has(r.err, "truncated or damaged")) << r.err;
    EXPECT_FALSE(fs::exists(path("o.wav")));

    // In a batch the others still finish; the exit code tells.
    fs::create_directories(m_dir / "in");
    fs::copy(path("cut.wav"), path("in/cut.wav"));
    fs::copy(path("whole.wav"), path("in/whole.wav"));
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--quiet"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(filesIn(path("out")), std::vector<std::string>{"whole.wav"});
}

TEST_F(RenderPipeline, FileErrorsGiveTheSystemsReason)
{
    ProcessResult r = runCrumlet({"render", "--in", path("missing.wav"), "--out", path("o.wav")});
    EXPECT_TRUE(has(r.err, "No such file or directory")) << r.err;
    std::ofstream(path("plain")) << "a file, not a folder";
    r = runCrumlet({"render", "--out", path("plain/o.wav")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(has(r.err, "Not a directory")) << r.err;
    r = runCrumlet({"render", "--bank", path("missing.bank"), "--out", path("o.wav")});
    EXPECT_TRUE(has(r.err, "No such file or directory")) << r.err;
    r = runCrumlet({"bank", "--out", path("plain/x.bank")});
    EXPECT_TRUE(has(r.err, "Not a directory")) << r.err;
}

TEST_F(RenderPipeline, LoudnessIsMatchedOrSetAfterTheEffect)
{
    const std::string in = writeTone("speech.wav", 48000 * 3);
    const double inputLoudness = levelsOf(in).loudnessLufs;
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("m.wav"), "--preset", "Megaphone",
                                  "--match-loudness", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NEAR(levelsOf(path("m.wav")).loudnessLufs, inputLoudness, 0.1);
    const auto report = jsonLines(r.out).at(0);
    EXPECT_NEAR(report["loudnessLufs"].get<double>(), inputLoudness, 0.1);
    EXPECT_NE(report["gainDb"].get<double>(), 0.0);

    r = runCrumlet({"render", "--in", in, "--out", path("t.flac"), "--loudness", "-16", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NEAR(levelsOf(path("t.flac")).loudnessLufs, -16.0, 0.1);
    // The report is of the file's own samples: peaks and loudness as measured again.
    const auto t = jsonLines(r.out).at(0);
    const Levels measured = levelsOf(path("t.flac"));
    EXPECT_NEAR(t["peakDbfs"].get<double>(), measured.peakDbfs, 0.05);
    EXPECT_NEAR(t["truePeakDbtp"].get<double>(), measured.truePeakDbtp, 0.2);
    EXPECT_GE(t["truePeakDbtp"].get<double>(), t["peakDbfs"].get<double>());

    EXPECT_EQ(runCrumlet({"render", "--in", in, "--out", path("x.wav"), "--loudness", "-80"}).exitCode, 2);
    EXPECT_EQ(runCrumlet({"render", "--in", in, "--out", path("x.wav"), "--loudness", "-20", "--match-loudness"}).exitCode, 2);
}

// One gain scales every 400 ms block alike, but a block it takes across the -70 LUFS gate
// leaves the measurement: here nine seconds of quiet room tone just above the gate dilute the
// relative gate, so that a quieter line counts before the gain and not after it. The output is
// measured again after the gain and corrected, and lands on the target.
TEST_F(RenderPipeline, ALoudnessTargetLandsWhenTheGainMovesBlocksAcrossTheGate)
{
    constexpr int kRate = 48000;
    std::vector<float> samples;
    auto tone = [&](double seconds, double peakDbfs) {
        const double amplitude = std::pow(10.0, peakDbfs / 20.0);
        for (int i = 0; i < static_cast<int>(seconds * kRate); ++i)
            samples.push_back(static_cast<float>(amplitude * std::sin(2.0 * 3.141592653589793 * 1000.0 * i / kRate)));
    };
    tone(1.5, -10.0); // a line at about -13 LUFS
    tone(1.5, -27.0); // a quieter one at about -30 LUFS
    tone(9.0, -62.0); // room tone at about -65 LUFS: under the gate once turned down 7 dB
    const std::string in = path("gate.wav");
    {
        SndfileHandle f(in, SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, kRate);
        f.writef(samples.data(), static_cast<sf_count_t>(samples.size()));
    }
    std::vector<std::string> args{"render", "--in", in, "--out", path("o.wav"), "--loudness", "-23", "--json"};
    for (const char* stage : {"FiltersEnable", "DistortionEnable", "EQEnable", "NoiseEnable", "SIMEnable", "GateEnable",
                              "LoFiEnable"})
        args.insert(args.end(), {"--set", std::string(stage) + "=off"});
    const ProcessResult r = runCrumlet(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NEAR(levelsOf(path("o.wav")).loudnessLufs, -23.0, 0.05);
    const auto report = jsonLines(r.out).at(0);
    EXPECT_NEAR(report["loudnessLufs"].get<double>(), -23.0, 0.05);
    EXPECT_TRUE(has(report["gainNote"].dump(), "-70 LUFS gate")) << report.dump();

    // A line the gain takes across no gate lands at once, with nothing to say.
    const std::string plain = writeTone("plain.wav", kRate * 3);
    const ProcessResult p = runCrumlet({"render", "--in", plain, "--out", path("p.wav"), "--loudness", "-23", "--json"});
    ASSERT_EQ(p.exitCode, 0) << p.err;
    EXPECT_NEAR(levelsOf(path("p.wav")).loudnessLufs, -23.0, 0.05);
    EXPECT_TRUE(jsonLines(p.out).at(0)["gainNote"].is_null()) << p.out;
}

TEST_F(RenderPipeline, ClippingIntegerOutputsAreReportedWithRemedies)
{
    const std::string in = writeTone("a.wav", 9600, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000, 0.9f);
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--format", "pcm16", "--set",
                                  "OutputGain=12", "--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(has(r.err, "samples clipped") && has(r.err, "OutputGain") && has(r.err, "--format float")) << r.err;
    EXPECT_GT(jsonLines(r.out).at(0)["clippedSamples"].get<int>(), 100);
    // Floats hold the overs: nothing to warn about.
    r = runCrumlet({"render", "--in", in, "--out", path("f.wav"), "--set", "OutputGain=12"});
    EXPECT_FALSE(has(r.err, "clipped")) << r.err;
    EXPECT_GT(levelsOf(path("f.wav")).peakDbfs, 3.0);
}

TEST_F(RenderPipeline, JsonLinesAndHumanLinesPerFile)
{
    writeTone("in/a.wav", 4800);
    writeTone("in/b.wav", 9600, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100);
    const ProcessResult r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    for (int i = 0; i < 2; ++i)
    {
        const auto& l = lines[static_cast<std::size_t>(i)];
        EXPECT_EQ(l["status"], "rendered");
        for (const char* key : {"input", "output", "framesIn", "framesOut", "tailFrames", "effectTailFrames",
                                "ringOutFrames", "tailEnd", "tailEndDbfs", "peakDbfs", "truePeakDbtp", "loudnessLufs",
                                "gainDb", "gainNote", "error"})
            EXPECT_TRUE(l.contains(key)) << key;
        EXPECT_TRUE(l["gainNote"].is_null());
        EXPECT_EQ(l["framesOut"].get<int>() - l["framesIn"].get<int>(), l["tailFrames"].get<int>());
        EXPECT_EQ(l["effectTailFrames"].get<int>() + l["ringOutFrames"].get<int>(), l["tailFrames"].get<int>());
        EXPECT_TRUE(l["error"].is_null());
    }
    EXPECT_EQ(lines[2]["summary"]["rendered"], 2);
    EXPECT_EQ(lines[2]["summary"]["failed"], 0);
    EXPECT_TRUE(has(r.err, "rendered: " + path("in/a.wav")) && has(r.err, "LUFS")) << r.err;
}

TEST_F(RenderPipeline, ATailPlayedOnIsToldOnBothLines)
{
    // A tone cut off at full swing through the high- and low-pass resonating at its pitch.
    const std::string in = writeTone("a.wav", 9600, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000, 0.5f);
    const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--json", "--set", "FiltersHPFFreq=440",
                                        "FiltersHPFQ=100", "FiltersHPFSlope=#1", "FiltersLPFFreq=440", "FiltersLPFQ=100",
                                        "FiltersLPFSlope=#1", "EQEnable=off", "SIMEnable=off", "NoiseEnable=off",
                                        "LoFiEnable=off", "DistortionEnable=off", "GateEnable=off"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto line = jsonLines(r.out).at(0);
    EXPECT_EQ(line["tailEnd"], "quiet");
    EXPECT_GT(line["ringOutFrames"].get<int>(), 0);
    EXPECT_LE(line["tailEndDbfs"].get<double>(), line["peakDbfs"].get<double>() - 90.0);
    EXPECT_TRUE(has(r.err, "s the effect's, ") && has(r.err, "s played on while it rang, down to -")) << r.err;
}

TEST_F(RenderPipeline, RecursiveBatchesMirrorFoldersAndSkipHiddenFiles)
{
    writeTone("in/a.wav", 2400);
    writeTone("in/scene1/b.wav", 2400);
    writeTone("in/scene1/deeper/c.wav", 2400);
    writeTone("in/.hidden.wav", 2400);
    writeTone("in/scene1/._b.wav", 2400);
    ProcessResult r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--recursive"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(filesIn(path("out")), (std::vector<std::string>{"a.wav", "scene1/b.wav", "scene1/deeper/c.wav"}));
    EXPECT_TRUE(has(r.err, "skipped: " + path("in/.hidden.wav")) && has(r.err, "resource fork")) << r.err;

    // Outputs inside the input folder are not inputs of the next run.
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("in/phone"), "--recursive", "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("in/phone"), "--recursive", "--skip-existing", "--json"});
    EXPECT_EQ(jsonLines(r.out).back()["summary"]["skipped"], 5) << r.out; // 3 done, 2 hidden
    EXPECT_FALSE(fs::exists(path("in/phone/phone")));

    // Without --recursive only the folder's own files.
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("flat"), "--quiet"});
    EXPECT_EQ(filesIn(path("flat")), std::vector<std::string>{"a.wav"});

    r = runCrumlet({"render", "--in", path("in"), "--out", path("one.wav")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "--out-dir")) << r.err;
}

TEST_F(RenderPipeline, FormatsFollowTheExtensionAndTheInput)
{
    const std::string pcm16 = writeTone("in16.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SF_INFO info{};
    ASSERT_EQ(runCrumlet({"render", "--in", pcm16, "--out", path("o.ogg")}).exitCode, 0);
    readAll(path("o.ogg"), &info);
    EXPECT_EQ(info.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    ASSERT_EQ(runCrumlet({"render", "--in", pcm16, "--out", path("same.wav"), "--format", "same"}).exitCode, 0);
    readAll(path("same.wav"), &info);
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    ASSERT_EQ(runCrumlet({"render", "--in", pcm16, "--out", path("o.flac")}).exitCode, 0);
    readAll(path("o.flac"), &info);
    EXPECT_EQ(info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    // The demo has no format of its own to keep.
    EXPECT_EQ(runCrumlet({"render", "--out", path("d.wav"), "--format", "same"}).exitCode, 2);

    // A float WAV: an 18-byte fmt chunk of format 3 with cbSize 0, and a fact chunk with the
    // frame count, as readers expect of a non-PCM WAV; then the bext chunk and the recipe's,
    // before the samples.
    ASSERT_EQ(runCrumlet({"render", "--in", pcm16, "--out", path("f.wav")}).exitCode, 0);
    const std::string h = bytesOf(path("f.wav"));
    ASSERT_GT(h.size(), 58u);
    auto u32 = [&](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, h.data() + at, 4);
        return v;
    };
    EXPECT_EQ(h.substr(12, 4), "fmt ");
    EXPECT_EQ(u32(16), 18u);
    EXPECT_EQ(h[20], 3);
    EXPECT_EQ(h[36], 0);
    EXPECT_EQ(h.substr(38, 4), "fact");
    EXPECT_EQ(h.substr(50, 4), "bext");
    const std::size_t bext = u32(54);
    EXPECT_EQ(bext % 2, 0u);
    EXPECT_GT(bext, 602u);
    const std::size_t crml = 58 + bext;
    EXPECT_EQ(h.substr(crml, 4), "crml");
    EXPECT_EQ(u32(crml + 4) % 4, 0u);
    const std::size_t data = crml + 8 + u32(crml + 4);
    EXPECT_EQ(h.substr(data, 4), "data");
    EXPECT_EQ(u32(data + 4), h.size() - data - 8);
    EXPECT_EQ(u32(46), (h.size() - data - 8) / 8);
    EXPECT_EQ(u32(4), h.size() - 8);
    readAll(path("f.wav"), &info);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    // An output gets the mode any new file gets, not its private partial's.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(path("f.wav")).permissions(), static_cast<fs::perms>(0666 & ~mask));
    EXPECT_EQ(static_cast<std::size_t>(info.frames), (h.size() - data - 8) / 8);
}

TEST_F(RenderPipeline, SettingsReadOneWayEverywhere)
{
    // --set takes several assignments at once; names in any case.
    ProcessResult r = runCrumlet({"bank", "--out", path("a.bank"), "--set", "lofibitdepthtype=12", "EQFreq=3.4kHz"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ofstream(path("p.json")) << R"({"LoFiBitDepthType": 12, "EQFreq": "3400 Hz"})";
    ASSERT_EQ(runCrumlet({"bank", "--out", path("b.bank"), "--preset", path("p.json")}).exitCode, 0);
    EXPECT_EQ(bytesOf(path("a.bank")), bytesOf(path("b.bank")));

    r = runCrumlet({"render", "--preset", "No such preset", "--out", path("o.wav")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "\"Phone call\"")) << r.err;
    EXPECT_FALSE(fs::exists(path("o.wav")));
}

TEST_F(RenderPipeline, ListedPresetsFeedBackAsPresetFiles)
{
    const ProcessResult listed = runCrumlet({"presets", "--json"});
    ASSERT_EQ(listed.exitCode, 0);
    const auto presets = nlohmann::ordered_json::parse(listed.out);
    ASSERT_GE(presets.size(), 8u);
    for (const auto& [name, preset] : presets.items())
    {
        EXPECT_TRUE(preset["EQGain"].is_number()) << name;
        EXPECT_TRUE(preset["GateEnable"].is_boolean()) << name;
        EXPECT_TRUE(preset["SIMType"].is_string()) << name;
        std::ofstream(path("p.json")) << preset.dump();
        ASSERT_EQ(runCrumlet({"bank", "--out", path("from-file.bank"), "--preset", path("p.json")}).exitCode, 0) << name;
        ASSERT_EQ(runCrumlet({"bank", "--out", path("by-name.bank"), "--preset", name}).exitCode, 0) << name;
        EXPECT_EQ(bytesOf(path("from-file.bank")), bytesOf(path("by-name.bank"))) << name;
    }
    // Saved without rendering, by `presets` and by `bank`, alike; replaced only with --force.
    ASSERT_EQ(runCrumlet({"presets", "phone call", "--save", path("a.json")}).exitCode, 0);
    ASSERT_EQ(runCrumlet({"bank", "--preset", "Phone call", "--save-preset", path("b.json")}).exitCode, 0);
    EXPECT_EQ(runCrumlet({"bank", "--preset", "Megaphone", "--save-preset", path("b.json")}).exitCode, 1);
    auto a = nlohmann::json::parse(bytesOf(path("a.json")));
    a.erase("description");
    EXPECT_EQ(a, nlohmann::json::parse(bytesOf(path("b.json"))));
    EXPECT_EQ(runCrumlet({"presets", "nope", "--save", path("c.json")}).exitCode, 2);
}

TEST_F(RenderPipeline, SimsAreFoundByCategoryOrWordAndDescribed)
{
    ProcessResult r = runCrumlet({"sims"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 164);
    // Model 1, "Modern Phone": a telephone band with a presence peak.
    EXPECT_TRUE(has(r.out, "  1  Modern Phone")) << r.out.substr(0, 400);

    r = runCrumlet({"sims", "--category", "telephones"});
    ASSERT_EQ(r.exitCode, 0);
    std::istringstream lines(r.out);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_TRUE(has(line, "Telephones") && has(line, "kHz")) << line;
    EXPECT_GT(count, 10);
    EXPECT_LT(count, 40);

    r = runCrumlet({"sims", "megaphone", "--sections"});
    EXPECT_TRUE(has(r.out, "Red Megaphone") && has(r.out, "level") && has(r.out, "Peaking")) << r.out;
    EXPECT_EQ(runCrumlet({"sims", "--category", "spaceships"}).exitCode, 2);
    EXPECT_TRUE(has(runCrumlet({"sims", "--help"}).out, "damping"));
}

// Subfolders passed over without --recursive, and files that are not audio, are mentioned.
TEST_F(RenderPipeline, WhatAFolderHoldsBesideItsAudioIsCountedInOneNote)
{
    writeTone("in/a.wav", 2400);
    writeTone("in/scene1/b.wav", 2400);
    writeTone("in/scene2/c.wav", 2400);
    std::ofstream(path("in/script.txt")) << "lines";
    std::ofstream(path("in/scene1/notes.md")) << "notes";
    ProcessResult r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.err, "note: 2 subfolders left out (--recursive renders them); 1 file that is not audio left out\n"))
        << r.err;
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out2"), "--recursive"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.err, "note: 2 files that are not audio left out\n")) << r.err;
    EXPECT_FALSE(has(r.err, "subfolder")) << r.err;
    // Nothing to render says why.
    fs::remove(path("in/a.wav"));
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out3")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "no audio files to render in 1 input (2 subfolders left out")) << r.err;
}

// A folder rendered into itself without --name failed every file at render time, one line
// each, and left the exit code to say so.
TEST_F(RenderPipeline, AFolderRenderedIntoItselfIsRefusedBeforeAnythingRenders)
{
    for (int i = 0; i < 3; ++i)
        writeTone("in/t" + std::to_string(i) + ".wav", 4800);
    const auto before = readAll(path("in/t0.wav"));
    const ProcessResult r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("in"), "--force"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(has(r.err, "is where 3 inputs lie: give another folder, or --name with a suffix")) << r.err;
    EXPECT_FALSE(has(r.err, "failed:")) << r.err;
    EXPECT_EQ(readAll(path("in/t0.wav")), before);
    // With a suffix the same folder takes the renders beside their sources.
    EXPECT_EQ(runCrumlet({"render", "--in", path("in"), "--out-dir", path("in"), "--name", "{stem}_fx.{ext}", "--quiet"})
                  .exitCode,
              0);
    EXPECT_TRUE(std::filesystem::exists(path("in/t0_fx.wav")));
}

// Outputs whose names differ only in case were two files here and one on Windows and macOS:
// the second render there replaced the first.
TEST_F(RenderPipeline, OutputsDifferingOnlyInCaseClash)
{
    writeTone("list/a.wav", 4800);
    std::ofstream(path("list/lines.csv")) << "input,output\na.wav,out/Take.wav\na.wav,out/take.wav\n";
    const ProcessResult lines = runCrumlet({"render", "--lines", path("list/lines.csv")});
    EXPECT_EQ(lines.exitCode, 2) << lines.err;
    EXPECT_TRUE(has(lines.err, "row 3, column \"output\": \"" + path("list/out/take.wav") + "\" and row 2's")) << lines.err;
    EXPECT_TRUE(has(lines.err, "differ only in case")) << lines.err;
    EXPECT_FALSE(fs::exists(path("list/out")));

    writeTone("in/Take.wav", 4800);
    writeTone("in/take.wav", 4800);
    const ProcessResult named = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--name", "{stem}.wav"});
    EXPECT_EQ(named.exitCode, 2) << named.err;
    EXPECT_TRUE(has(named.err, "differ only in case")) << named.err;
    EXPECT_FALSE(fs::exists(path("out")));
}
