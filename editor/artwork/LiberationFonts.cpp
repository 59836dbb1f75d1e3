#include "editor/artwork/LiberationFonts.h"

namespace LiberationFonts
{
namespace
{
enum Face { SansRegular, SansBold, NarrowRegular, NarrowBold, FaceCount };

// The loaded faces, released with JUCE's other caches at shutdown.
class FaceCache : private juce::DeletedAtShutdown
{
public:
    ~FaceCache() override { clearSingletonInstance(); }

    juce::Typeface::Ptr get(Face face)
    {
        static const char* const files[FaceCount] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                                     "LiberationSansNarrow-Regular.ttf", "LiberationSansNarrow-Bold.ttf"};
        if (faces[face] == nullptr)
        {
            juce::MemoryBlock data;
            if (juce::File("/usr/share/fonts/truetype/liberation").getChildFile(files[face]).loadFileAsData(data))
                faces[face] = juce::Typeface::createSystemTypefaceFor(data.getData(), data.getSize());
        }
        return faces[face];
    }

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL(FaceCache)

private:
    juce::Typeface::Ptr faces[FaceCount];
};

JUCE_IMPLEMENT_SINGLETON(FaceCache)

juce::Font font(Face face, float height)
{
    if (const juce::Typeface::Ptr typeface = FaceCache::getInstance()->get(face))
        return juce::Font(typeface).withHeight(height);
    return juce::Font(height, face == SansBold || face == NarrowBold ? juce::Font::bold : juce::Font::plain);
}
} // namespace

juce::Font sans(float height, bool bold) { return font(bold ? SansBold : SansRegular, height); }
juce::Font narrow(float height, bool bold) { return font(bold ? NarrowBold : NarrowRegular, height); }
} // namespace LiberationFonts
