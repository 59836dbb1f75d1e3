#include "cli/commands/ArtworkCommand.h"

#include "editor/artwork/ArtworkCatalogue.h"

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

TEST(ArtworkCommand, WritesEveryImageAndAContactSheet)
{
    const juce::File dir = juce::File::createTempFile("crumlet-artwork");
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(runArtwork(dir.getFullPathName().toStdString()), 0);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("34 images"), std::string::npos);

    EXPECT_EQ(dir.getNumberOfChildFiles(juce::File::findFiles, "*.png"), 35);
    for (const Artwork::ImageSpec* spec = Artwork::catalogueBegin(); spec != Artwork::catalogueEnd(); ++spec)
    {
        SCOPED_TRACE(spec->name);
        const juce::Image image = juce::ImageFileFormat::loadFrom(dir.getChildFile(spec->fileName()));
        ASSERT_TRUE(image.isValid());
        EXPECT_EQ(image.getWidth(), spec->width);
        EXPECT_EQ(image.getHeight(), spec->height);
        EXPECT_EQ(image.hasAlphaChannel(), !spec->rgb);
    }
    // The sheet holds the two backgrounds side by side and the device grid: wide and tall.
    const juce::Image sheet = juce::ImageFileFormat::loadFrom(dir.getChildFile("contact-sheet.png"));
    ASSERT_TRUE(sheet.isValid());
    EXPECT_GE(sheet.getWidth(), 2 * 749);
    EXPECT_GT(sheet.getHeight(), 565 + 15 * 96);
    dir.deleteRecursively();
}
