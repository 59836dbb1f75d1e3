// Every output says how it was made, in every container the tool writes: the recipe read back
// by `crumlet info` and `crumlet render --like` from float and integer WAV, FLAC, Ogg Vorbis,
// AIFF and CAF; the source it was made from (its path as the line list gives it, the list and
// row, its size, time and hash); a warning when `--like` renders another source; and the same
// bytes from a render made again at another time with --reproducible or SOURCE_DATE_EPOCH.
#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
using RecipeEverywhere = RenderPipeline;

nlohmann::json infoJson(const std::string& file)
{
    const ProcessResult r = runCrumlet({"info", "--json", file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return nlohmann::json::parse(r.out);
}

// SOURCE_DATE_EPOCH for the renders made while it lives.
class SourceDateEpoch
{
public:
    explicit SourceDateEpoch(const char* seconds) { ::setenv("SOURCE_DATE_EPOCH", seconds, 1); }
    ~SourceDateEpoch() { ::unsetenv("SOURCE_DATE_EPOCH"); }
};

void setModified(const std::string& file, std::int64_t secondsSinceEpoch)
{
    const auto when = fs::file_time_type::clock::now() +
                      (std::chrono::seconds(secondsSinceEpoch) -
                       std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()));
    fs::last_write_time(file, when);
}
} // namespace

TEST_F(RecipeEverywhere, EveryContainerCarriesTheRecipeThatInfoAndLikeReadBack)
{
    const std::string in = writeTone("in.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    struct Case
    {
        const char* name;
        std::vector<std::string> extra;
        bool lossless;
    };
    const std::vector<Case> cases = {{"float.wav", {}, true},     {"pcm16.wav", {"--bits", "16"}, true},
                                     {"out.flac", {}, true},      {"out.ogg", {}, false},
                                     {"out.aiff", {}, true},      {"out.caf", {}, true}};
    for (const Case& c : cases)
    {
        std::vector<std::string> args = {"render", "--in", in, "--out", path(c.name), "--set", "SIMTuning=61",
                                         "--seed", "9", "--quiet"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const ProcessResult made = runCrumlet(args);
        ASSERT_EQ(made.exitCode, 0) << c.name << ": " << made.err;
        const nlohmann::json j = infoJson(path(c.name));
        ASSERT_TRUE(j.contains("crumlet")) << c.name << ": " << j.dump();
        EXPECT_EQ(j["crumlet"]["seed"], "9") << c.name;
        EXPECT_EQ(j["crumlet"]["settings"]["SIMTuning"], 61) << c.name;
        EXPECT_TRUE(has(runCrumlet({"info", path(c.name)}).out, "render it again: crumlet render --like")) << c.name;

        const std::string again = path(std::string("again-") + c.name);
        const ProcessResult like = runCrumlet({"render", "--like", path(c.name), "--in", in, "--out", again, "--quiet"});
        ASSERT_EQ(like.exitCode, 0) << c.name << ": " << like.err;
        EXPECT_FALSE(has(like.err, "warning")) << c.name << ": " << like.err;
        if (c.lossless)
        {
            EXPECT_EQ(readAll(again), readAll(path(c.name))) << c.name;
        }
        EXPECT_EQ(infoJson(again)["crumlet"]["block"], j["crumlet"]["block"]) << c.name;
    }
}

TEST_F(RecipeEverywhere, TheRecipeRecordsTheSourceAsTheLineListGivesIt)
{
    writeTone("list/voices/a.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    const std::string list = path("list/lines.csv");
    std::ofstream(list) << "input,output\nvoices/a.wav,out/a.wav\n";
    const ProcessResult r = runCrumlet({"render", "--lines", list, "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const nlohmann::json source = infoJson(path("list/out/a.wav"))["crumlet"]["source"];
    ASSERT_TRUE(source.is_object()) << source.dump();
    EXPECT_EQ(source["path"], "voices/a.wav");
    EXPECT_EQ(source["list"], list);
    EXPECT_EQ(source["row"], 2);
    EXPECT_EQ(source["bytes"], fs::file_size(path("list/voices/a.wav")));
    struct stat st{};
    ASSERT_EQ(::stat(path("list/voices/a.wav").c_str(), &st), 0);
    EXPECT_EQ(source["modifiedNs"].get<std::int64_t>(),
              static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec);
    ASSERT_TRUE(source["xxh3"].is_string());
    EXPECT_EQ(source["xxh3"].get<std::string>().size(), 32u);
    const std::string told = runCrumlet({"info", path("list/out/a.wav")}).out;
    EXPECT_TRUE(has(told, "  source: \"voices/a.wav\" (row 2 of \"" + list + "\"), ")) << told;

    // The same bytes hash alike wherever they are; other bytes do not.
    fs::copy_file(path("list/voices/a.wav"), path("copy.wav"));
    writeTone("other.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, 0.2f);
    ASSERT_EQ(runCrumlet({"render", "--in", path("copy.wav"), "--out", path("c.wav"), "--quiet"}).exitCode, 0);
    ASSERT_EQ(runCrumlet({"render", "--in", path("other.wav"), "--out", path("o.wav"), "--quiet"}).exitCode, 0);
    const nlohmann::json copy = infoJson(path("c.wav"))["crumlet"]["source"];
    EXPECT_EQ(copy["xxh3"], source["xxh3"]);
    EXPECT_EQ(copy["path"], path("copy.wav"));
    EXPECT_TRUE(copy["list"].is_null());
    EXPECT_NE(infoJson(path("o.wav"))["crumlet"]["source"]["xxh3"], source["xxh3"]);
}

TEST_F(RecipeEverywhere, RenderingLikeAFileFromAnotherSourceWarnsInOneLine)
{
    const std::string in = writeTone("a/voice.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("made.wav"), "--quiet"}).exitCode, 0);
    auto warnings = [&](const std::string& source) {
        const ProcessResult r = runCrumlet({"render", "--like", path("made.wav"), "--in", source, "--out",
                                            path("x.wav"), "--force", "--quiet"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> lines;
        std::istringstream text(r.err);
        for (std::string line; std::getline(text, line);)
            if (has(line, "warning"))
                lines.push_back(line);
        return lines;
    };
    EXPECT_TRUE(warnings(in).empty());
    // The same bytes by another path and name: the bytes are what count.
    fs::create_directories(path("b"));
    fs::copy_file(in, path("b/renamed.wav"), fs::copy_options::overwrite_existing);
    std::vector<std::string> w = warnings(path("b/renamed.wav"));
    ASSERT_EQ(w.size(), 1u);
    EXPECT_TRUE(has(w[0], "voice.wav") && has(w[0], "renamed.wav")) << w[0];
    // The same name, other bytes.
    writeTone("c/voice.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, 0.1f);
    w = warnings(path("c/voice.wav"));
    ASSERT_EQ(w.size(), 1u);
    EXPECT_TRUE(has(w[0], "bytes differ")) << w[0];
}

TEST_F(RecipeEverywhere, AReproducibleRenderWritesTheSameBytesAtAnotherTime)
{
    const std::string in = writeTone("in.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    {
        const SourceDateEpoch epoch("1000000000"); // 2001-09-09 01:46:40 UTC
        for (const char* name : {"a.wav", "b.wav"})
            ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path(name), "--seed", "3", "--quiet"}).exitCode, 0);
        const nlohmann::json j = infoJson(path("a.wav"));
        EXPECT_EQ(j["bext"]["originationDate"], "2001-09-09");
        EXPECT_EQ(j["bext"]["originationTime"], "01:46:40");
    }
    // The clock enters nothing the file holds.
    EXPECT_EQ(bytesOf(path("a.wav")), bytesOf(path("b.wav")));

    // --reproducible takes the source's time.
    setModified(in, 1234567890); // 2009-02-13 23:31:30 UTC
    for (const char* name : {"p.wav", "q.wav"})
        ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path(name), "--seed", "3", "--bits", "16",
                              "--reproducible", "--quiet"})
                      .exitCode,
                  0);
    const nlohmann::json p = infoJson(path("p.wav"));
    EXPECT_EQ(p["bext"]["originationDate"], "2009-02-13");
    EXPECT_EQ(p["bext"]["originationTime"], "23:31:30");
    EXPECT_EQ(bytesOf(path("p.wav")), bytesOf(path("q.wav")));
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("p.flac"), "--seed", "3", "--reproducible", "--quiet"})
                  .exitCode,
              0);
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("q.flac"), "--seed", "3", "--reproducible", "--quiet"})
                  .exitCode,
              0);
    EXPECT_EQ(bytesOf(path("p.flac")), bytesOf(path("q.flac")));
    // A float AIFF file's PEAK chunk holds the clock's time: left out.
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("p.aiff"), "--reproducible", "--quiet"}).exitCode, 0);
    EXPECT_FALSE(has(bytesOf(path("p.aiff")), "PEAK"));
    EXPECT_TRUE(infoJson(path("p.aiff")).contains("crumlet"));
    // A value that is not a time is refused, not taken for now.
    const SourceDateEpoch bad("yesterday");
    const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("bad.wav"), "--quiet"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "SOURCE_DATE_EPOCH")) << r.err;
}
