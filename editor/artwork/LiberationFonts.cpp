#include "editor/artwork/LiberationFonts.h"

namespace LiberationFonts
{
namespace
{
enum Face { SansRegular, SansBold, NarrowRegular, NarrowBold, FaceCount };

juce::Font font(Face face, float height)
{
    static const char* const files[FaceCount] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                                 "LiberationSansNarrow-Regular.ttf", "LiberationSansNarrow-Bold.ttf"};
    static juce::Typeface::Ptr faces[FaceCount];
    if (faces[face] == nullptr)
    {
        juce::MemoryBlock data;
        if (juce::File("/usr/share/fonts/truetype/liberation").getChildFile(files[face]).loadFileAsData(data))
            faces[face] = juce::Typeface::createSystemTypefaceFor(data.getData(), data.getSize());
    }
    if (faces[face] == nullptr)
        return juce::Font(height, face == SansBold || face == NarrowBold ? juce::Font::bold : juce::Font::plain);
    return juce::Font(faces[face]).withHeight(height);
}
} // namespace

juce::Font sans(float height, bool bold) { return font(bold ? SansBold : SansRegular, height); }
juce::Font narrow(float height, bool bold) { return font(bold ? NarrowBold : NarrowRegular, height); }
} // namespace LiberationFonts
