// `crumlet` given what it cannot serve: audio files, settings files and names built to
// break it. Each is refused up front with a clear message, or reported for what it is;
// nothing crashes, nothing partial is left, and the other files of a batch still render.
#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
class HostileInput : public RenderPipeline
{
protected:
    std::string write(const std::string& name, const std::string& text)
    {
        fs::create_directories(fs::path(path(name)).parent_path());
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }
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
        EXPECT_EQ(runCrumlet({"render", "--in", in, "--out", path("edge-out.wav"), "--match-loudness", "--quiet", "--force"}).exitCode, 0)
            << rate;
    }
}

namespace
{
// The writing end of a named pipe, once crumlet has opened it for reading (blocking writes),
// or -1 when crumlet ends first or takes more than ten seconds.
int openWritingEnd(CrumletProcess& crumlet, const std::string& fifo)
{
    int feed = -1;
    // Opening a pipe's writing end without blocking fails until its reader has it open.
    for (int tries = 0; feed < 0 && tries < 2000 && crumlet.running(); ++tries)
    {
        feed = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (feed < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (feed >= 0)
        ::fcntl(feed, F_SETFL, 0);
    return feed;
}

// Writes `total` zero bytes into a named pipe that crumlet reads, until crumlet ends or
// stops reading; answers how many it took.
std::size_t feedPipe(CrumletProcess& crumlet, const std::string& fifo, std::size_t total)
{
    const int feed = openWritingEnd(crumlet, fifo);
    if (feed < 0)
        return 0;
    ::signal(SIGPIPE, SIG_IGN);
    const std::vector<char> chunk(65536, 0);
    std::size_t sent = 0;
    while (sent < total)
    {
        const ssize_t n = ::write(feed, chunk.data(), std::min(chunk.size(), total - sent));
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    ::close(feed);
    return sent;
}
} // namespace

TEST_F(HostileInput, SettingsFilesThatAreNotFilesAreUsageErrorsAndAreReadBounded)
{
    // A folder is a usage error for every command that reads --bank, not an uncaught stream
    // exception that aborts it.
    fs::create_directories(path("folder"));
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"render", "--out", path("o.wav")}, {"plot", "--filters", "--csv"},
          {"bank", "--out", path("b.bank")}, {"editor"}})
    {
        std::vector<std::string> args = command;
        args.insert(args.end(), {"--bank", path("folder")});
        const ProcessResult r = runCrumlet(args);
        EXPECT_EQ(r.exitCode, 2) << command[0] << r.err;
        EXPECT_TRUE(has(r.err, "\"" + path("folder") + "\" is a folder, not a parameter block file")) << r.err;
    }
    // A device is refused, not read without end.
    for (const char* option : {"--bank", "--preset"})
    {
        const ProcessResult r = runCrumlet({"bank", "--out", path("b.bank"), option, "/dev/zero"});
        EXPECT_EQ(r.exitCode, 2) << option;
        EXPECT_TRUE(has(r.err, "\"/dev/zero\" is a device")) << r.err;
    }
    // A pipe is read, but no further than a block (one byte more tells it is too long) or
    // the size a preset file may have, not 100 MB before the size is refused.
    const std::string fifo = path("stream");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const char* option : {"--bank", "--preset"})
    {
        CrumletProcess crumlet({"bank", "--out", path("b.bank"), option, fifo});
        const std::size_t taken = feedPipe(crumlet, fifo, std::size_t{100} << 20);
        const ProcessResult r = crumlet.wait();
        EXPECT_EQ(r.exitCode, 2) << option << r.err;
        EXPECT_TRUE(has(r.err, "more than " + std::string(option == std::string("--bank") ? "139" : "65536") + " bytes"))
            << r.err;
        // What the pipe holds before its reader goes: its buffer, not the stream.
        EXPECT_LT(taken, std::size_t{1} << 20) << option;
    }
    EXPECT_FALSE(fs::exists(path("b.bank")));
    EXPECT_FALSE(fs::exists(path("o.wav")));
}

// `render --out x.wav --save-preset x.wav --force` must not leave the preset's JSON where the
// render should be.
TEST_F(HostileInput, APresetFileNamingAnOutputIsRefusedUpFront)
{
    const std::string in = writeTone("in/a.wav", 4800);
    std::ofstream(path("x.wav")) << "earlier";
    fs::create_directories(path("sub"));
    for (const std::string& preset : {path("x.wav"), path("sub/../x.wav")})
    {
        const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("x.wav"), "--save-preset", preset, "--force"});
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(has(r.err, "is the output")) << r.err;
        EXPECT_EQ(bytesOf(path("x.wav")), "earlier");
    }
    const ProcessResult batch = runCrumlet(
        {"render", "--in", path("in"), "--out-dir", path("out"), "--save-preset", path("out/a.wav"), "--force"});
    EXPECT_EQ(batch.exitCode, 2) << batch.err;
    EXPECT_FALSE(fs::exists(path("out")));
    const ProcessResult bank =
        runCrumlet({"bank", "--out", path("b.bank"), "--save-preset", path("sub/../b.bank"), "--force"});
    EXPECT_EQ(bank.exitCode, 2) << bank.err;
    EXPECT_FALSE(fs::exists(path("b.bank")));
}

// The summary's time covers everything before the first render too: loading the effect,
// reading the settings and planning (which, were it quadratic, would take minutes for a few
// thousand files).
TEST_F(HostileInput, TheSummaryTellsTheWholeTime)
{
    writeTone("in/a.wav", 480);
    writeTone("in/b.wav", 480);
    // The settings arrive through a pipe a second and a half after the command starts.
    const std::string fifo = path("preset.json");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    CrumletProcess crumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--preset", fifo, "--json"});
    const int feed = openWritingEnd(crumlet, fifo);
    ASSERT_GE(feed, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const std::string preset = R"({"EQGain": 3})";
    ASSERT_EQ(::write(feed, preset.data(), preset.size()), static_cast<ssize_t>(preset.size()));
    ::close(feed);
    const ProcessResult r = crumlet.wait();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto summary = jsonLines(r.out).back()["summary"];
    EXPECT_EQ(summary["rendered"], 2);
    EXPECT_GE(summary["wallSeconds"].get<double>(), 1.5) << r.out;
}

namespace
{
std::uint32_t bigEndian32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

void putBigEndian32(std::string& bytes, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(v >> (24 - 8 * i));
}
} // namespace

// Inputs of which libsndfile reads only a part: that part must not be taken for the whole and
// rendered as a success.
TEST_F(HostileInput, DamagedInputsAreReportedAndLeaveNoOutput)
{
    std::vector<std::pair<std::string, std::string>> damaged; // file, what the message says
    // An Ogg stream cut in half: what is there would render, exit 0.
    const std::string ogg = bytesOf(writeTone("whole.ogg", 48000 * 3, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    std::ofstream(path("cut.ogg"), std::ios::binary) << ogg.substr(0, ogg.size() / 2);
    damaged.emplace_back(path("cut.ogg"), "without its end-of-stream mark (truncated or damaged)");
    // A WAV file whose data size its writer left at 0, its second of samples after it: read
    // as its header says, it renders 0 s.
    std::string wav = bytesOf(writeTone("whole.wav", 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1));
    const std::size_t data = wav.find("data");
    ASSERT_NE(data, std::string::npos);
    wav.replace(data + 4, 4, std::string(4, '\0'));
    std::ofstream(path("unsized.wav"), std::ios::binary) << wav;
    damaged.emplace_back(path("unsized.wav"), "gives its audio as 0 bytes, yet 96000 bytes follow");
    // An AIFF file whose frame count claims twice what its sound data holds.
    std::string aiff = bytesOf(writeTone("whole.aiff", 48000, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1));
    const std::size_t comm = aiff.find("COMM");
    ASSERT_NE(comm, std::string::npos);
    ASSERT_EQ(bigEndian32(aiff, comm + 10), 48000u);
    putBigEndian32(aiff, comm + 10, 96000);
    std::ofstream(path("overclaiming.aiff"), std::ios::binary) << aiff;
    damaged.emplace_back(path("overclaiming.aiff"), "promises 96000 frames, its sound data holds 48000");

    for (const auto& [file, says] : damaged)
    {
        const ProcessResult r = runCrumlet({"render", "--in", file, "--out", path("o.wav")});
        EXPECT_EQ(r.exitCode, 1) << file << r.err;
        EXPECT_TRUE(has(r.err, says)) << r.err;
        EXPECT_FALSE(fs::exists(path("o.wav")));
    }
    // An Ogg stream cut anywhere, mid-page too (its length then unreadable: it rendered what
    // came before the cut as a success and `info` gave a length of millions of years): the
    // render and `info` both say it is damaged.
    const std::string longer = bytesOf(writeTone("longer.ogg", 48000 * 4, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    for (double share : {0.3, 0.6, 0.85})
    {
        const std::string cut = path("cut" + std::to_string(static_cast<int>(share * 100)) + ".ogg");
        std::ofstream(cut, std::ios::binary) << longer.substr(0, static_cast<std::size_t>(longer.size() * share));
        const ProcessResult r = runCrumlet({"render", "--in", cut, "--out", path("o.wav")});
        EXPECT_EQ(r.exitCode, 1) << cut << r.err;
        EXPECT_TRUE(has(r.err, "(truncated or damaged)")) << r.err;
        EXPECT_FALSE(fs::exists(path("o.wav")));
        const ProcessResult info = runCrumlet({"info", cut});
        EXPECT_TRUE(has(info.out, "damaged: ")) << info.out;
        EXPECT_FALSE(has(info.out, "00000.")) << info.out; // no length the file cannot hold
    }
    // The whole files render.
    for (const char* whole : {"whole.ogg", "whole.wav", "whole.aiff"})
        EXPECT_EQ(runCrumlet({"render", "--in", path(whole), "--out", path("o.wav"), "--quiet", "--force"}).exitCode, 0) << whole;
}

// A -11 LUFS sine with 100 NaN or Inf samples read "gain 0.0 dB (the input is silent)".
TEST_F(HostileInput, NonFiniteInputSamplesLeaveLoudnessMatchingOn)
{
    const int frames = 48000 * 3;
    std::vector<float> x(frames);
    for (int i = 0; i < frames; ++i)
        x[static_cast<std::size_t>(i)] = 0.4f * std::sin(2.0f * 3.14159265f * 1000.0f * static_cast<float>(i) / 48000.0f);
    const std::string clean = path("clean.wav");
    SndfileHandle(clean, SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000).writef(x.data(), frames);
    for (std::size_t k = 0; k < 100; ++k)
        x[1000 + k * 997] = k % 2 == 0 ? std::nanf("") : HUGE_VALF;
    const std::string in = path("nan.wav");
    SndfileHandle(in, SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000).writef(x.data(), frames);

    const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--match-loudness", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.err, "100 NaN or Inf input samples measured as silence")) << r.err;
    EXPECT_FALSE(has(r.err, "silent)")) << r.err;
    EXPECT_NE(jsonLines(r.out).at(0)["gainDb"].get<double>(), 0.0);
    EXPECT_EQ(jsonLines(r.out).at(0)["gainNote"], "100 NaN or Inf input samples measured as silence");
    EXPECT_NEAR(levelsOf(path("o.wav")).loudnessLufs, levelsOf(clean).loudnessLufs, 0.2);
}

// The note on the gain reached people's lines only, not --json.
TEST_F(HostileInput, TheGainNoteIsInTheJsonLines)
{
    const std::string silent = path("silent.wav");
    const std::vector<float> zeros(4800, 0.f);
    SndfileHandle(silent, SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000).writef(zeros.data(), 4800);
    const ProcessResult r = runCrumlet({"render", "--in", silent, "--out", path("o.wav"), "--set", "NoiseEnable=off",
                                        "--match-loudness", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto line = jsonLines(r.out).at(0);
    EXPECT_EQ(line["gainDb"], 0.0);
    EXPECT_EQ(line["gainNote"], "the output is silent") << r.out;
}

// An empty value is not read as 0 or as no value: `--loudness ''` would render unnormalised,
// `--jobs ''` would take a job per core and `--in ''` would render the demo.
TEST_F(HostileInput, AnEmptyValueIsBadUsage)
{
    const std::string in = writeTone("a.wav", 4800);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--loudness", ""}, {"--jobs", ""}, {"--block", ""}, {"--in", ""}, {"--preset", ""},
          {"--set", ""}, {"--save-preset", ""}})
    {
        std::vector<std::string> command{"render", "--out", path("o.wav")};
        if (args[0] != "--in")
            command.insert(command.end(), {"--in", in});
        command.insert(command.end(), args.begin(), args.end());
        const ProcessResult r = runCrumlet(command);
        EXPECT_EQ(r.exitCode, 2) << args[0] << r.err;
        EXPECT_TRUE(has(r.err, args[0] + ": takes a value, not an empty text")) << r.err;
        EXPECT_FALSE(fs::exists(path("o.wav"))) << args[0];
    }
    EXPECT_EQ(runCrumlet({"validate", "--seconds", ""}).exitCode, 2);
    EXPECT_EQ(runCrumlet({"plot", "--sim", "1", "--rate", "", "--csv"}).exitCode, 2);
}

// A NUL in a line list's cell was read as the end of the value: "0dB\0junk" rendered at 0 dB.
TEST_F(HostileInput, ALineListValueWithANulIsRefusedAtItsRowAndColumn)
{
    writeTone("nul/a.wav", 4800);
    const std::string list = path("nul/lines.jsonl");
    // Every column: a rate, a codec or a preset cut at the NUL read as the text before it.
    const std::vector<std::pair<std::string, std::string>> cells = {
        {"NoiseLevel", "0dB"}, {"rate", "48000"}, {"codec", "gsm"}, {"radio", "on"}, {"preset", "Phone call"},
        {"loudness", "-23"}, {"seed", "5"}, {"vary", "SIMTuning=+-6"}, {"dither", "none"}, {"input", "a.wav"}};
    std::ofstream out(list, std::ios::binary);
    for (std::size_t i = 0; i < cells.size(); ++i)
    {
        const auto& [column, value] = cells[i];
        out << "{\"input\": \"a.wav\", \"output\": \"out/" << i << ".wav\", \"" << column << "\": \"" << value
            << "\\u0000junk\"}\n";
    }
    out.close();
    const ProcessResult r = runCrumlet({"render", "--lines", list});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    for (std::size_t i = 0; i < cells.size(); ++i)
        EXPECT_TRUE(has(r.err, "row " + std::to_string(i + 1) + ", column \"" + cells[i].first + "\": ") &&
                    has(r.err, "\\x00junk\" holds a NUL byte"))
            << cells[i].first << "\n" << r.err;
    EXPECT_FALSE(fs::exists(path("nul/out")));
}

// `validate --seconds inf` never ended.
TEST_F(HostileInput, ValidateTakesAFiniteTime)
{
    for (const char* seconds : {"inf", "nan", "-1", "0", "1e300"})
    {
        const ProcessResult r = runCrumlet({"validate", "--seconds", seconds});
        EXPECT_EQ(r.exitCode, 2) << seconds << r.out << r.err;
        EXPECT_TRUE(has(r.err, "--seconds takes")) << r.err;
    }
}

// A preset file into a folder that does not exist is found out before the render (for
// `editor`, before the window opens, not after it closes with its settings lost).
TEST_F(HostileInput, APresetFileThatCannotBeWrittenIsFoundOutFirst)
{
    const std::string in = writeTone("a.wav", 4800);
    const std::string preset = path("missing/p.json");
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--save-preset", preset});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(has(r.err, "cannot write \"" + preset + "\": No such file or directory")) << r.err;
    EXPECT_FALSE(fs::exists(path("o.wav")));
    r = runCrumlet({"bank", "--out", path("b.bank"), "--save-preset", preset});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_FALSE(fs::exists(path("b.bank")));
    r = runCrumlet({"editor", "--save-preset", preset});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(has(r.err, "cannot write \"" + preset + "\"")) << r.err;
    // A name longer than a folder takes is refused, not left to abort the tool as an uncaught
    // filesystem error.
    const std::string tooLong = path(std::string(300, 'p') + ".json");
    r = runCrumlet({"render", "--in", in, "--out", path("o.wav"), "--save-preset", tooLong});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(has(r.err, "File name too long")) << r.err;
    EXPECT_FALSE(fs::exists(path("o.wav")));
    // A batch makes its output folders: a preset file may go among them.
    r = runCrumlet({"render", "--in", in, "--out-dir", path("out"), "--save-preset", path("out/settings/p.json"), "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("out/settings/p.json")));
}

// Names of 240 to 255 bytes failed: the hidden name written first added 16 bytes to them.
TEST_F(HostileInput, OutputNamesUpToTheLongestAFolderTakesAreWritten)
{
    const std::string longest = std::string(251, 'n') + ".wav"; // 255 bytes
    const std::string in = writeTone("in/" + longest, 4800);
    ProcessResult r = runCrumlet({"render", "--in", in, "--out", path(longest), "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string preset = std::string(250, 'p') + ".json";
    r = runCrumlet({"bank", "--save-preset", path(preset)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(filesIn(m_dir.string()), (std::vector<std::string>{"in/" + longest, longest, "out/" + longest, preset}));
}

// Names printed as they are would let a newline split a file's line and an escape sequence
// reach the terminal, and with --json a name that is not UTF-8 would abort the tool.
TEST_F(HostileInput, NamesAreEscapedInLinesAndJson)
{
    const std::string name = "take\n1\x1b[2J\xff.wav";
    writeTone("in/" + name, 4800);
    const ProcessResult r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(has(r.err, "rendered: " + path("in/") + "take\\n1\\x1b[2J\\xff.wav -> ")) << r.err;
    EXPECT_FALSE(has(r.err, "\x1b")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["input"], path("in/") + "take\n1\x1b[2J\xef\xbf\xbd.wav");
    EXPECT_TRUE(fs::exists(path("out/" + name)));

    const ProcessResult missing = runCrumlet({"render", "--in", path("gone\n\x1b[31m.wav"), "--out", path("o.wav")});
    EXPECT_TRUE(has(missing.err, "gone\\n\\x1b[31m.wav")) << missing.err;
    EXPECT_FALSE(has(missing.err, "\x1b")) << missing.err;
}

// Names made from inputs' names wrote files outside --out-dir: {parent} of "sub/../a.wav" was
// "..", {stem} of "...wav" is "..", and a line list's name column made the same; a symbolic
// link in the output folder led out of it too. {parent} names the folder the input is in;
// a name that would still leave the folder is refused before anything renders, naming the
// input (or row and column) and the name made.
TEST_F(HostileInput, NamesMadeFromInputsStayInTheOutputFolder)
{
    writeTone("deep/er/in/a.wav", 480);
    writeTone("deep/er/in/...wav", 480);
    fs::create_directories(path("deep/er/in/sub"));
    fs::create_directories(path("deep/er/out"));
    fs::create_directories(path("deep/elsewhere"));
    fs::create_directory_symlink(path("deep/elsewhere"), path("deep/er/out/away"));
    fs::create_directory_symlink(".", path("deep/er/out/self"));
    const std::string list = write("deep/er/in/names.jsonl", "{\"input\": \"a.wav\", \"name\": \"{stem}.wav\"}\n"
                                                             "{\"input\": \"...wav\", \"name\": \"{stem}/up_{stem}.wav\"}\n");
    const std::vector<std::string> before = filesIn(m_dir.string());
    const std::string out = path("deep/er/out");
    const struct
    {
        std::vector<std::string> args;
        std::string says;
    } cases[] = {
        {{"--in", path("deep/er/in/...wav"), "--name", "{stem}/{stem}/x_{index}.wav"},
         "\"" + path("deep/er/in/...wav") + "\": the name \"../../x_1.wav\" has a \"..\" part"},
        {{"--in", path("deep/er/in/a.wav"), "--name", "away/{stem}.wav"},
         "\"" + path("deep/er/in/a.wav") + "\": the name \"away/a.wav\" leads out of the output folder through a "
                                           "symbolic link"},
        {{"--lines", list}, "row 2, column \"name\": the name \"../up_...wav\" has a \"..\" part"},
    };
    for (const auto& c : cases)
        for (const char* force : {"--quiet", "--force"})
        {
            std::vector<std::string> args{"render", "--out-dir", out, force};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const ProcessResult r = runCrumlet(args);
            EXPECT_EQ(r.exitCode, 2) << c.says << r.err;
            EXPECT_TRUE(has(r.err, c.says) && has(r.err, "nothing was rendered")) << c.says << "\n" << r.err;
            EXPECT_EQ(filesIn(m_dir.string()), before) << c.says;
        }
    // {parent} of "sub/../a.wav" is the name of the folder a.wav is in.
    ProcessResult r = runCrumlet({"render", "--in", path("deep/er/in/sub/../a.wav"), "--out-dir", out, "--name",
                                  "{parent}/{parent}/{parent}/escape_{stem}.wav", "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("deep/er/out/in/in/in/escape_a.wav")));
    // A link that stays inside the folder is a folder of it.
    r = runCrumlet({"render", "--in", path("deep/er/in/a.wav"), "--out-dir", out, "--name", "self/{stem}_s.wav", "--quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("deep/er/out/a_s.wav")));
    EXPECT_EQ(filesIn(path("deep/elsewhere")), std::vector<std::string>{});
}

// Rows writing "out/link/same.wav" and "elsewhere/same.wav" with out/link -> ../elsewhere both
// rendered into one file (or the second failed as "exists"); so did a recursive batch into a
// folder holding a link to itself. Outputs are told apart by the file they resolve to.
TEST_F(HostileInput, OutputsThatAreOneFileThroughASymbolicLinkClash)
{
    writeTone("src/a.wav", 480);
    writeTone("src/b.wav", 960);
    fs::create_directories(path("out"));
    fs::create_directories(path("elsewhere"));
    fs::create_directory_symlink("../elsewhere", path("out/link"));
    const std::string list = write("lines.csv", "input,output\nsrc/a.wav,out/link/same.wav\nsrc/b.wav,elsewhere/same.wav\n");
    for (const char* force : {"--quiet", "--force"})
    {
        const ProcessResult r = runCrumlet({"render", "--lines", list, force});
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(has(r.err, "row 3, column \"output\": row 2 also renders to")) << r.err;
        EXPECT_FALSE(fs::exists(path("elsewhere/same.wav")));
    }

    writeTone("in/a.wav", 480);
    writeTone("in/sub/a.wav", 960);
    fs::create_directories(path("batch"));
    fs::create_directory_symlink(".", path("batch/sub"));
    // Named, the batch is refused; mirrored, the second file fails and the first is whole.
    ProcessResult r = runCrumlet(
        {"render", "--in", path("in"), "--out-dir", path("batch"), "--recursive", "--force", "--name", "{stem}.{ext}"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(has(r.err, "also renders to")) << r.err;
    EXPECT_FALSE(fs::exists(path("batch/a.wav")));
    r = runCrumlet(
        {"render", "--in", path("in"), "--out-dir", path("batch"), "--recursive", "--force", "--json", "--seed", "1"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(has(r.err, "\"" + path("in/a.wav") + "\" also renders to")) << r.err;
    const auto summary = jsonLines(r.out).back()["summary"];
    EXPECT_EQ(summary["rendered"], 1) << r.out;
    EXPECT_EQ(summary["failed"], 1) << r.out;
    ASSERT_EQ(runCrumlet({"render", "--in", path("in/a.wav"), "--out", path("alone.wav"), "--seed", "1", "--quiet"}).exitCode, 0);
    EXPECT_EQ(readAll(path("batch/a.wav")), readAll(path("alone.wav")));
}

// A JSON-lines list named x5.wav with a row whose output is x5.wav was written over, --force
// given. The list, the inputs and the files settings come from are never outputs.
TEST_F(HostileInput, TheLineListAndTheSettingsFilesAreNeverOutputs)
{
    writeTone("a.wav", 480);
    const std::string text = "{\"input\": \"a.wav\", \"output\": \"x5.wav\"}\n";
    const std::string list = write("x5.wav", text);
    fs::create_directories(path("sub"));
    const std::string preset = write("p.json", R"({"EQGain": 3})");
    const std::string presetRow = write("presets.jsonl", "{\"input\": \"a.wav\", \"preset\": \"p.json\", \"output\": \"sub/../p.json\"}\n");
    for (const std::string& lines : {list, path("sub/../x5.wav")})
    {
        const ProcessResult r = runCrumlet({"render", "--lines", lines, "--force"});
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(has(r.err, "row 1, column \"output\": the output \"") && has(r.err, "x5.wav\" is the line list"))
            << r.err;
    }
    const ProcessResult r = runCrumlet({"render", "--lines", presetRow, "--force"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(has(r.err, "row 1, column \"output\"") && has(r.err, "a source is never written over")) << r.err;
    EXPECT_EQ(bytesOf(list), text);
    EXPECT_EQ(bytesOf(preset), R"({"EQGain": 3})");
}

// An output cell holding a NUL passed the checks and failed at write time, its reason cut at
// the NUL; a name too long for the file system failed per file after others had rendered.
// Both are refused before anything renders.
TEST_F(HostileInput, OutputNamesWithANulOrTooLongAreRefusedBeforeAnythingRenders)
{
    writeTone("in/a.wav", 480);
    writeTone("in/bbbbbbbbbb.wav", 480);
    const std::string nul = write("nul.jsonl", "{\"input\": \"in/a.wav\", \"output\": \"o5\\u0000x.wav\"}\n"
                                               "{\"input\": \"in/a.wav\", \"name\": \"n\\u0000{stem}.wav\"}\n"
                                               "{\"input\": \"in/a.wav\", \"output\": \"fine.wav\"}\n");
    ProcessResult r = runCrumlet({"render", "--lines", nul, "--out-dir", path("out")});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(has(r.err, "row 1, column \"output\": ") && has(r.err, "\"o5\\x00x.wav\" holds a NUL byte")) << r.err;
    EXPECT_TRUE(has(r.err, "row 2, column \"name\": ") && has(r.err, "\\x00")) << r.err;
    EXPECT_TRUE(has(r.err, "has 2 errors")) << r.err;

    // One name of a batch over the 255 bytes a file name may have.
    const std::string longer = "{stem}_" + std::string(244, 'x') + ".wav";
    r = runCrumlet({"render", "--in", path("in"), "--out-dir", path("out"), "--name", longer});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(has(r.err, "\"" + path("in/bbbbbbbbbb.wav") + "\": the name \"bbbbbbbbbb_xxx") &&
                has(r.err, "a part of 259 bytes, longer than the 255 a name may have"))
        << r.err;
    // A path over the 4096 bytes the system takes.
    std::string deep;
    for (int i = 0; i < 17; ++i)
        deep += std::string(250, 'd') + "/";
    r = runCrumlet({"render", "--in", path("in/a.wav"), "--out-dir", path("out"), "--name", deep + "{stem}.wav"});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(has(r.err, "longer than the 4079 bytes an output's path may have")) << r.err;
    // A list's output cell.
    const std::string list = write("long.csv", "input,output\nin/a.wav,out/ok.wav\nin/a.wav,out/" + std::string(300, 'l') + ".wav\n");
    r = runCrumlet({"render", "--lines", list});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_TRUE(has(r.err, "row 3, column \"output\": ") && has(r.err, "a part of 304 bytes")) << r.err;

    EXPECT_EQ(filesIn(m_dir.string()),
              (std::vector<std::string>{"in/a.wav", "in/bbbbbbbbbb.wav", "long.csv", "nul.jsonl"}));
}
