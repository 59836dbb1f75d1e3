// Output names from a template: the fields, the slug, the template's mistakes, every name
// placed inside the output folder, and a batch's names checked for clashes before anything
// renders.
#include "cli/io/FilePlaces.h"
#include "cli/render/BatchPlan.h"
#include "cli/render/OutputFolder.h"
#include "cli/render/OutputNames.h"
#include "cli/render/PlanErrors.h"
#include "cli/settings/UsageError.h"

#include "ScratchFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(OutputNames, FieldsComeFromTheInputThePresetAndThePlaceInTheBatch)
{
    const NameFields f{"lines/act1/hello_there.flac", "Police radio", 7};
    EXPECT_EQ(expandName("{stem}_radio.{ext}", f), "hello_there_radio.flac");
    EXPECT_EQ(expandName("{preset}/{stem}.wav", f), "police_radio/hello_there.wav");
    EXPECT_EQ(expandName("{parent}_{index}.wav", f), "act1_7.wav");
    EXPECT_EQ(expandName("{index:3}-{stem}.wav", f), "007-hello_there.wav");
    EXPECT_EQ(expandName("{{{stem}}}.wav", f), "{hello_there}.wav");
    EXPECT_EQ(expandName("x.wav", {"a.wav", "", 1}), "x.wav");

    EXPECT_EQ(presetSlug("Police radio"), "police_radio");
    EXPECT_EQ(presetSlug("Walkie-talkie"), "walkie_talkie");
    EXPECT_EQ(presetSlug("looks/My Look (v2).json"), "my_look_v2");
    EXPECT_EQ(presetSlug(""), "default");
}

TEST(OutputNames, TemplateMistakesAreRefusedSayingWhat)
{
    EXPECT_NO_THROW(checkNameTemplate("{stem}_radio.{ext}"));
    EXPECT_NO_THROW(checkNameTemplate("{preset}/{stem}.wav"));
    auto message = [](const std::string& t) {
        try
        {
            checkNameTemplate(t);
        }
        catch (const UsageError& e)
        {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_NE(message("{stme}.wav").find("no field \"{stme}\""), std::string::npos);
    // What a message quotes of a template is cut.
    EXPECT_LT(message("{" + std::string(100000, 's') + "}.wav").size(), 300u);
    EXPECT_LT(message("{index:" + std::string(100000, '9') + "}.wav").size(), 300u);
    EXPECT_NE(message("{stem.wav").find("without its \"}\""), std::string::npos);
    EXPECT_NE(message("stem}.wav").find("without its \"{\""), std::string::npos);
    EXPECT_NE(message("../{stem}.wav").find(".."), std::string::npos);
    EXPECT_NE(message("/tmp/{stem}.wav").find("absolute"), std::string::npos);
    EXPECT_NE(message("{stem}_radio").find("without an extension"), std::string::npos);
    EXPECT_NE(message("{index:x}.wav").find("{index:N}"), std::string::npos);
    EXPECT_NE(message("").find("template"), std::string::npos);
    EXPECT_NE(message(std::string("x\0{stem}.wav", 12)).find("\"x\\x00{stem}.wav\" holds a NUL byte"), std::string::npos);
}

class NamedBatch : public ScratchFolderTest
{
protected:
    void touch(const std::string& name)
    {
        fs::create_directories(fs::path(path(name)).parent_path());
        std::ofstream(path(name)) << "x";
    }

    std::vector<RenderJob> plan(const std::string& nameTemplate, const std::string& outputDir, bool force = false,
                                std::string* leftOut = nullptr)
    {
        BatchPlanRequest request;
        request.inputs = {path("in")};
        request.outputDir = outputDir;
        request.nameTemplate = nameTemplate;
        request.preset = "Broken toy";
        request.force = force;
        return planBatch(request, leftOut);
    }
};

TEST_F(NamedBatch, EveryNameIsKnownBeforeRenderingAndClashesRefuseTheBatch)
{
    touch("in/a.wav");
    touch("in/b.wav");
    const auto jobs = plan("{stem}_{preset}.wav", path("out"));
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].output, path("out/a_broken_toy.wav"));
    EXPECT_EQ(jobs[1].output, path("out/b_broken_toy.wav"));

    // Two inputs to one output: the whole batch is refused, naming both.
    try
    {
        plan("{preset}.wav", path("out"));
        FAIL() << "a clash was accepted";
    }
    catch (const PlanErrors& e)
    {
        ASSERT_EQ(e.errors.size(), 1u);
        EXPECT_NE(e.errors[0].find("also renders to"), std::string::npos) << e.errors[0];
        EXPECT_NE(std::string(e.what()).find("nothing was rendered"), std::string::npos);
    }
    // An output that is an input, even with --force.
    EXPECT_THROW(plan("{stem}.wav", path("in"), true), PlanErrors);
}

TEST_F(NamedBatch, WithASuffixTheInputFolderIsTheOutputFolderAndARerunPassesOverItsOutputs)
{
    touch("in/a.wav");
    touch("in/b.wav");
    auto jobs = plan("{stem}_toy.wav", path("in"));
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].output, path("in/a_toy.wav"));
    EXPECT_EQ(jobs[0].status, JobOutcome::Status::Rendered);

    // The outputs made: the next run takes them for outputs, not inputs.
    touch("in/a_toy.wav");
    touch("in/b_toy.wav");
    std::string note;
    jobs = plan("{stem}_toy.wav", path("in"), true, &note);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[1].input, path("in/b.wav"));
    EXPECT_EQ(jobs[1].output, path("in/b_toy.wav"));
    EXPECT_EQ(note, "2 files that this batch writes were passed over as inputs");
    // Without --force they are outputs that exist, told once before anything renders.
    EXPECT_THROW(plan("{stem}_toy.wav", path("in")), UsageError);
}

namespace
{
class OutputFolders : public ScratchFolderTest
{
protected:
    // What placing `name` under `folder` gives: the path, or the error's text.
    std::string placed(const std::string& folder, const std::string& name)
    {
        try
        {
            return OutputFolder(folder, m_places).place(name);
        }
        catch (const UsageError& e)
        {
            return std::string("refused: ") + e.what();
        }
    }

    FilePlaces m_places;
};
} // namespace

TEST_F(OutputFolders, ParentIsTheNameOfTheFolderTheInputIsIn)
{
    fs::create_directories(path("in/deeper"));
    fs::create_directory_symlink(path("in/deeper"), path("link"));
    auto parent = [](const std::string& input) { return expandName("{parent}", {input, "", 1}); };
    EXPECT_EQ(parent(path("in/a.wav")), "in");
    EXPECT_EQ(parent(path("in/deeper/../a.wav")), "in");
    EXPECT_EQ(parent(path("in/./a.wav")), "in");
    // ".." after a symbolic link is the link's target's parent, as the system reads it.
    EXPECT_EQ(parent(path("link/../a.wav")), "in");
    // The folder an input is in, never a "." or ".." that would leave the output folder.
    EXPECT_EQ(expandName("{stem}", {path("in/...wav"), "", 1}), "..");
}

TEST_F(OutputFolders, EveryNameStaysInsideTheFolderOrIsRefusedSayingWhy)
{
    const std::string out = path("out");
    fs::create_directories(path("out/real"));
    fs::create_directories(path("elsewhere"));
    fs::create_directory_symlink(".", path("out/self"));
    fs::create_directory_symlink(path("out/real"), path("out/inner"));
    fs::create_directory_symlink("../elsewhere", path("out/away"));
    fs::create_directory_symlink("..", path("out/up"));
    fs::create_directory_symlink(path("out"), path("alias"));

    // Names that stay inside, through links that stay inside included.
    EXPECT_EQ(placed(out, "a.wav"), path("out/a.wav"));
    EXPECT_EQ(placed(out, "new/deeper/a.wav"), path("out/new/deeper/a.wav"));
    EXPECT_EQ(placed(out, "self/a.wav"), path("out/self/a.wav"));
    EXPECT_EQ(placed(out, "inner/a.wav"), path("out/inner/a.wav"));
    EXPECT_EQ(placed(out, "up/out/a.wav"), path("out/up/out/a.wav"));
    EXPECT_EQ(placed(path("alias"), "a.wav"), path("alias/a.wav"));
    EXPECT_EQ(placed(path("not/yet/made"), "a/b.wav"), path("not/yet/made/a/b.wav"));
    EXPECT_EQ(placed(out, std::string(255, 'n')), path("out/" + std::string(255, 'n')));

    const struct
    {
        std::string name;
        std::string says;
    } refused[] = {
        {"../a.wav", "the name \"../a.wav\" has a \"..\" part: names stay inside the output folder"},
        {"sub/../../a.wav", "has a \"..\" part"},
        {"./a.wav", "the name \"./a.wav\" has a \".\" part"},
        {"/etc/a.wav", "the name \"/etc/a.wav\" is absolute"},
        {"wav/", "the name \"wav/\" ends in \"/\""},
        {"away/a.wav", "the name \"away/a.wav\" leads out of the output folder through a symbolic link"},
        {"away/new/a.wav", "leads out of the output folder through a symbolic link"},
        {"up/a.wav", "leads out of the output folder through a symbolic link"},
        {std::string("a\0b.wav", 7), "the name \"a\\x00b.wav\" holds a NUL byte"},
        {std::string(256, 'n'), "(256 bytes) has a part of 256 bytes, longer than the 255 a name may have"},
    };
    for (const auto& r : refused)
        EXPECT_NE(placed(out, r.name).find(r.says), std::string::npos) << placed(out, r.name);
    std::string deep;
    for (int i = 0; i < 17; ++i)
        deep += std::string(240, 'd') + "/";
    EXPECT_NE(placed(out, deep + "a.wav").find("bytes, longer than the 4079 bytes an output's path may have"),
              std::string::npos);
    // The folder itself.
    EXPECT_EQ(placed(std::string("o5\0x", 4), "a.wav"), "refused: --out-dir \"o5\\x00x\" holds a NUL byte");
    // Placing makes nothing.
    EXPECT_FALSE(fs::exists(path("out/new")) || fs::exists(path("not")));
}

TEST_F(OutputFolders, PathsToOneFileHaveOneKey)
{
    fs::create_directories(path("out"));
    fs::create_directories(path("elsewhere/deeper"));
    fs::create_directory_symlink("../elsewhere", path("out/link"));
    std::ofstream(path("elsewhere/there.wav")) << "x";
    fs::create_hard_link(path("elsewhere/there.wav"), path("out/hard.wav"));
    fs::create_symlink(path("out/missing.wav"), path("out/dangling.wav"));

    bool exists = true;
    // Files to come: where they resolve to.
    EXPECT_EQ(m_places.key(path("out/link/same.wav"), &exists), m_places.key(path("elsewhere/same.wav")));
    EXPECT_FALSE(exists);
    EXPECT_EQ(m_places.key(path("out/link/../same.wav")), m_places.key(path("same.wav")));
    EXPECT_EQ(m_places.key(path("out/./new/../a.wav")), m_places.key(path("out/a.wav")));
    EXPECT_NE(m_places.key(path("out/a.wav")), m_places.key(path("out/b.wav")));
    // A link written over is replaced, not followed: the file it names is another.
    EXPECT_NE(m_places.key(path("out/dangling.wav")), m_places.key(path("out/missing.wav")));
    // Files that exist: by their identity, hard links included.
    EXPECT_EQ(m_places.key(path("out/hard.wav"), &exists), m_places.key(path("out/link/there.wav")));
    EXPECT_TRUE(exists);
    EXPECT_EQ(m_places.resolved(path("out/link/deeper/x/y.wav")), path("elsewhere/deeper/x/y.wav"));
    EXPECT_EQ(m_places.resolvedFolder(path("out/link")), path("elsewhere"));
}
