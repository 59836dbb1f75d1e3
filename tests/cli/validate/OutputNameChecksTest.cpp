// The invariant that `crumlet validate` and the output-name fuzzer hold the batch's naming
// to: it must tell names that leave the output folder from names that stay in it, by any
// route, or neither would find a fault.
#include "cli/validate/OutputNameChecks.h"

#include "../ScratchFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace
{
class OutputNameChecks : public ScratchFolderTest
{
};
} // namespace

TEST_F(OutputNameChecks, OutputsOutsideTheFolderOrMisnamedAreFaults)
{
    const std::string out = path("out");
    fs::create_directories(path("out"));
    fs::create_directories(path("elsewhere"));
    fs::create_directory_symlink("../elsewhere", path("out/away"));
    fs::create_directory_symlink(".", path("out/self"));
    EXPECT_EQ(misplacedOutput(out, "a.wav", path("out/a.wav")), "");
    EXPECT_EQ(misplacedOutput(out, "self/new/a.wav", path("out/self/new/a.wav")), "");
    // A link written over is replaced, not followed.
    EXPECT_EQ(misplacedOutput(out, "away", path("out/away")), "");

    EXPECT_EQ(misplacedOutput(out, "away/a.wav", path("out/away/a.wav")).rfind("outside the folder", 0), 0u);
    EXPECT_EQ(misplacedOutput(out, "../a.wav", path("a.wav")), "a \"..\" part");
    EXPECT_EQ(misplacedOutput(out, "./a.wav", path("out/a.wav")), "a \".\" part");
    EXPECT_EQ(misplacedOutput(out, "/a.wav", "/a.wav"), "not a file's relative name");
    EXPECT_EQ(misplacedOutput(out, "wav/", path("out/wav/")), "not a file's relative name");
    EXPECT_EQ(misplacedOutput(out, std::string("a\0.wav", 6), path("out/a")), "a NUL");
    EXPECT_EQ(misplacedOutput(out, "a.wav", path("out/b.wav")), "not the name under the folder");
    EXPECT_EQ(misplacedOutput(out, std::string(256, 'n'), path("out/" + std::string(256, 'n'))), "a part too long to write");
}

TEST_F(OutputNameChecks, TheBatchsNamingHoldsAgainstHostileTemplates)
{
    std::string note;
    EXPECT_EQ(checkHostileOutputNames(7, 500, note), "");
    EXPECT_NE(note.find(" accepted inside the folder, "), std::string::npos) << note;
}
