#include "editor/artwork/Artwork.h"

namespace Artwork
{
juce::Image decode(const char* data, int size)
{
    if (data == nullptr || size < 5)
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
