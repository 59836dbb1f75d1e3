#include "cli/commands/ArtworkCommand.h"

#include "cli/pictures/ContactSheet.h"
#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"
#include "editor/artwork/Artwork.h"
#include "editor/artwork/ArtworkCatalogue.h"

#include <cstdio>

namespace
{
void writePng(const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out(file);
    juce::PNGImageFormat png;
    if (!out.openedOk() || !png.writeImageToStream(image, out))
        throw IoError("cannot write " + file.getFullPathName().toStdString());
}
} // namespace

int runArtwork(const std::string& outDir)
{
    const juce::File dir = juce::File::getCurrentWorkingDirectory().getChildFile(outDir);
    if (!dir.createDirectory())
        throw IoError("cannot create " + dir.getFullPathName().toStdString());
    int written = 0;
    for (const Artwork::Entry* entry = Artwork::begin(); entry != Artwork::end(); ++entry)
    {
        const juce::Image image = Artwork::decode(entry->data, entry->size);
        if (!image.isValid())
            throw IoError(std::string("embedded image does not decode: ") + entry->name);
        const Artwork::ImageSpec* spec = Artwork::findImageSpec(entry->name);
        writePng(image, dir.getChildFile(spec != nullptr ? spec->fileName() : std::string(entry->name) + ".png"));
        ++written;
    }
    writePng(drawContactSheet(), dir.getChildFile("contact-sheet.png"));
    // JUCE's caches (typefaces, glyphs) go before the process ends, as JUCE expects.
    juce::DeletedAtShutdown::deleteAll();
    std::printf("%d images and contact-sheet.png written to %s\n", written,
                printable(dir.getFullPathName().toStdString()).c_str());
    return 0;
}
