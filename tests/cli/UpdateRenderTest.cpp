// Re-running a line list or a folder batch with --update: a row renders when its output is
// missing or its recorded recipe (settings, delivery, seed, the source's bytes) differs from the
// row's, and is otherwise passed over and counted as up to date; a file at an output that the
// tool did not make is never rendered over. Outputs no row makes any more are listed as
// orphans, and --prune deletes them (files the tool did not make never).
#include "cli/io/BextChunk.h"
#include "cli/io/RiffChunks.h"

#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
class UpdateRender : public RenderPipeline
{
protected:
    void SetUp() override
    {
        RenderPipeline::SetUp();
        for (const char* name : {"src/a.wav", "src/b.wav", "src/c.wav"})
            writeTone(name, 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    }

    std::string writeList(const std::string& text) const
    {
        std::ofstream(path("lines.csv")) << text;
        return path("lines.csv");
    }

    // Each row's status, and the summary, of a render of the list with these options.
    struct Run
    {
        ProcessResult process;
        std::map<int, std::string> status;
        nlohmann::json summary;
    };
    Run run(std::vector<std::string> extra) const
    {
        std::vector<std::string> args = {"render", "--lines", path("lines.csv"), "--out-dir", path("out"), "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        Run r{runCrumlet(args), {}, {}};
        for (const auto& j : jsonLines(r.process.out))
            if (j.contains("summary"))
                r.summary = j["summary"];
            else if (j.contains("row"))
                r.status[j["row"].get<int>()] = j["status"].get<std::string>();
        return r;
    }
};
} // namespace

TEST_F(UpdateRender, OnlyRowsWhoseOutputIsMissingOrWhoseRecipeChangedRenderAgain)
{
    const std::string list = "input,name,SIMTuning\nsrc/a.wav,a.wav,50\nsrc/b.wav,b.wav,50\nsrc/c.wav,c.wav,50\n";
    writeList(list);
    ASSERT_EQ(run({}).process.exitCode, 0);
    const auto madeA = fs::last_write_time(path("out/a.wav"));

    Run r = run({"--update"});
    ASSERT_EQ(r.process.exitCode, 0) << r.process.err;
    EXPECT_EQ(r.summary["rendered"], 0);
    EXPECT_EQ(r.summary["upToDate"], 3);
    EXPECT_EQ(fs::last_write_time(path("out/a.wav")), madeA);
    // People are told the count.
    const ProcessResult human = runCrumlet({"render", "--lines", path("lines.csv"), "--out-dir", path("out"), "--update"});
    EXPECT_TRUE(has(human.err, "3 up to date")) << human.err;

    // A cell changed, an output removed, a source touched (the same bytes), a source's bytes
    // changed: the first two and the last render.
    writeList("input,name,SIMTuning\nsrc/a.wav,a.wav,55\nsrc/b.wav,b.wav,50\nsrc/c.wav,c.wav,50\n");
    fs::remove(path("out/b.wav"));
    r = run({"--update"});
    EXPECT_EQ(r.status[2], "rendered");
    EXPECT_EQ(r.status[3], "rendered");
    EXPECT_EQ(r.status[4], "up to date");

    fs::last_write_time(path("src/a.wav"), fs::last_write_time(path("src/a.wav")) + std::chrono::seconds(5));
    writeTone("src/c.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, 0.2f);
    r = run({"--update"});
    EXPECT_EQ(r.status[2], "up to date") << "touched, the same bytes";
    EXPECT_EQ(r.status[3], "up to date");
    EXPECT_EQ(r.status[4], "rendered");
    EXPECT_EQ(r.summary["upToDate"], 2);

    // The delivery and seed count too.
    r = run({"--update", "--seed", "4"});
    EXPECT_EQ(r.summary["rendered"], 3);
    r = run({"--update", "--seed", "4", "--bits", "16"});
    EXPECT_EQ(r.summary["rendered"], 3);
    r = run({"--update", "--seed", "4", "--bits", "16"});
    EXPECT_EQ(r.summary["upToDate"], 3);
}

TEST_F(UpdateRender, AFileTheToolDidNotMakeIsNeverRenderedOver)
{
    writeList("input,name\nsrc/a.wav,a.wav\nsrc/b.wav,b.wav\n");
    fs::create_directories(path("out"));
    writeTone("out/b.wav", 100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    const std::string before = bytesOf(path("out/b.wav"));
    Run r = run({"--update"});
    EXPECT_EQ(r.process.exitCode, 2);
    EXPECT_TRUE(has(r.process.err, "b.wav")) << r.process.err;
    EXPECT_EQ(bytesOf(path("out/b.wav")), before);
    EXPECT_FALSE(fs::exists(path("out/a.wav")));
    EXPECT_EQ(run({"--update", "--force"}).process.exitCode, 2) << "one or the other";
}

TEST_F(UpdateRender, OutputsNoRowMakesAreListedAndPrunedOnlyWhenTheToolMadeThem)
{
    writeList("input,name\nsrc/a.wav,a.wav\nsrc/b.wav,sub/b.wav\nsrc/c.wav,c.wav\n");
    ASSERT_EQ(run({}).process.exitCode, 0);
    // Beside them: audio the tool did not make, a text file, and a WAV file whose recipe names
    // no tool as the tool writes it.
    writeTone("out/theirs.wav", 100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
    std::ofstream(path("out/notes.txt")) << "keep\n";
    std::vector<RiffChunk> chunks = riffChunks(bytesOf(path("out/a.wav")));
    replaceChunk(chunks, kSettingsChunkId, "{\"tool\": 5}");
    std::ofstream(path("out/odd.wav"), std::ios::binary) << riffBytes(chunks);
    writeList("input,name\nsrc/a.wav,a.wav\n");

    Run r = run({"--update"});
    ASSERT_EQ(r.process.exitCode, 0) << r.process.err;
    EXPECT_TRUE(has(r.process.err, "sub/b.wav") && has(r.process.err, "c.wav")) << r.process.err;
    EXPECT_TRUE(has(r.process.err, "--prune")) << r.process.err;
    EXPECT_FALSE(has(r.process.err, "theirs.wav")) << r.process.err;
    EXPECT_TRUE(fs::exists(path("out/c.wav")));

    r = run({"--update", "--prune"});
    ASSERT_EQ(r.process.exitCode, 0) << r.process.err;
    EXPECT_TRUE(has(r.process.err, "pruned: " + path("out/sub/b.wav"))) << r.process.err;
    EXPECT_TRUE(has(r.process.err, "pruned: " + path("out/c.wav"))) << r.process.err;
    EXPECT_EQ(filesIn(path("out")), (std::vector<std::string>{"a.wav", "notes.txt", "odd.wav", "theirs.wav"}));

    // A folder batch the same way.
    fs::remove_all(path("out"));
    ASSERT_EQ(runCrumlet({"render", "--in", path("src"), "--out-dir", path("out"), "--quiet"}).exitCode, 0);
    fs::remove(path("src/b.wav"));
    const ProcessResult batch = runCrumlet({"render", "--in", path("src"), "--out-dir", path("out"), "--update", "--prune"});
    ASSERT_EQ(batch.exitCode, 0) << batch.err;
    EXPECT_TRUE(has(batch.err, "2 up to date")) << batch.err;
    EXPECT_TRUE(has(batch.err, "pruned: " + path("out/b.wav"))) << batch.err;
    EXPECT_EQ(filesIn(path("out")), (std::vector<std::string>{"a.wav", "c.wav"}));
}
