#include "widgets/ArialFont.h"

#if !defined(_WIN32)
#include <fontconfig/fontconfig.h>
#endif

namespace
{
juce::String matchFamily(const char* requested)
{
#if defined(_WIN32)
    return requested;
#else
    // A configuration of its own, released afterwards: nothing of fontconfig stays behind.
    juce::String family(requested);
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(requested));
    if (config != nullptr && pattern != nullptr)
    {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        if (FcPattern* match = FcFontMatch(config, pattern, &result))
        {
            FcChar8* name = nullptr;
            if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name != nullptr)
                family = juce::String(reinterpret_cast<const char*>(name));
            FcPatternDestroy(match);
        }
    }
    if (pattern != nullptr)
        FcPatternDestroy(pattern);
    if (config != nullptr)
        FcConfigDestroy(config);
    return family;
#endif
}
} // namespace

const juce::String& arialFamily()
{
    static const juce::String family = matchFamily("Arial");
    return family;
}

juce::Font arialFont(float height)
{
    return juce::Font(arialFamily(), height, juce::Font::plain);
}
