#include "editor/artwork/Artwork.h"

#include "editor/artwork/PngCheck.h"

namespace Artwork
{
juce::Image decode(const char* data, int size)
{
    if (data == nullptr || size < 5)
        return {};
    if (isPngSignature(data, size) && !isCompletePng(data, size))
        return {};
    return juce::ImageFileFormat::loadFrom(data, static_cast<size_t>(size));
}

juce::Image decodeNamed(const juce::String& name)
{
    for (const Entry* entry = begin(); entry != end(); ++entry)
        if (name == entry->name)
            return decode(entry->data, entry->size);
    return {};
}
} // namespace Artwork
