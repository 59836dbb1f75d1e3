// The structural PNG check that guards the decoder, and the embedding round trip: the
// module's arrays hold exactly the bytes of the committed PNG files.
#include "editor/artwork/Artwork.h"
#include "editor/artwork/ArtworkCatalogue.h"
#include "editor/artwork/PngCheck.h"

#include <gtest/gtest.h>

#include <string>

TEST(PngCheck, AcceptsEveryEmbeddedImageAndNoPrefixOfOne)
{
    for (const Artwork::Entry* entry = Artwork::begin(); entry != Artwork::end(); ++entry)
        EXPECT_TRUE(Artwork::isCompletePng(entry->data, entry->size)) << entry->name;
    // Cut anywhere, the file is incomplete.
    const std::string png(Artwork::Enable_LED_on_png, static_cast<size_t>(Artwork::Enable_LED_on_pngSize));
    for (size_t length = 0; length < png.size(); ++length)
        EXPECT_FALSE(Artwork::isCompletePng(png.data(), static_cast<int>(length))) << length;
}

TEST(PngCheck, RefusesAnyFlippedBitInAChunk)
{
    std::string png(Artwork::Band_Fader_Cap_png, static_cast<size_t>(Artwork::Band_Fader_Cap_pngSize));
    for (size_t at = 8; at < png.size(); at += 7)
    {
        png[at] = static_cast<char>(png[at] ^ 0x10);
        EXPECT_FALSE(Artwork::isCompletePng(png.data(), static_cast<int>(png.size()))) << at;
        png[at] = static_cast<char>(png[at] ^ 0x10);
    }
    EXPECT_TRUE(Artwork::isCompletePng(png.data(), static_cast<int>(png.size())));
}

TEST(PngCheck, SignatureAndNonsense)
{
    EXPECT_FALSE(Artwork::isPngSignature(nullptr, 100));
    EXPECT_FALSE(Artwork::isPngSignature("\x89PNG\r\n\x1a", 7));
    EXPECT_TRUE(Artwork::isPngSignature("\x89PNG\r\n\x1a\n", 8));
    EXPECT_FALSE(Artwork::isCompletePng("\x89PNG\r\n\x1a\n", 8));
    // A chunk length pointing far past the end.
    const char huge[] = "\x89PNG\r\n\x1a\n\x7f\xff\xff\xffIHDR";
    EXPECT_FALSE(Artwork::isCompletePng(huge, sizeof huge - 1));
}

TEST(Embedding, TheArraysHoldTheCommittedFilesByteForByte)
{
    const juce::File images(CRUMLET_ARTWORK_IMAGE_DIR);
    for (const Artwork::ImageSpec* spec = Artwork::catalogueBegin(); spec != Artwork::catalogueEnd(); ++spec)
    {
        SCOPED_TRACE(spec->name);
        juce::MemoryBlock file;
        ASSERT_TRUE(images.getChildFile(spec->fileName()).loadFileAsData(file));
        const Artwork::Entry* entry = Artwork::begin() + (spec - Artwork::catalogueBegin());
        ASSERT_EQ(static_cast<size_t>(entry->size), file.getSize());
        EXPECT_EQ(std::memcmp(entry->data, file.getData(), file.getSize()), 0);
    }
}
