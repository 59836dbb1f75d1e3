// Output names from a template: the fields, the slug, the template's mistakes, and a batch's
// names checked for clashes before anything renders.
#include "cli/render/BatchPlan.h"
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
    EXPECT_NE(message("{stme}.wav").find("no field {stme}"), std::string::npos);
    EXPECT_NE(message("{stem.wav").find("without its \"}\""), std::string::npos);
    EXPECT_NE(message("stem}.wav").find("without its \"{\""), std::string::npos);
    EXPECT_NE(message("../{stem}.wav").find(".."), std::string::npos);
    EXPECT_NE(message("/tmp/{stem}.wav").find("absolute"), std::string::npos);
    EXPECT_NE(message("{stem}_radio").find("without an extension"), std::string::npos);
    EXPECT_NE(message("{index:x}.wav").find("{index:N}"), std::string::npos);
    EXPECT_NE(message("").find("template"), std::string::npos);
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
