#include "cli/render/Variation.h"

#include "cli/io/Dither.h"
#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace
{
std::uint64_t fnv1a(const std::string& text)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : text)
        h = (h ^ c) * 0x100000001b3ull;
    return h;
}

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The amount after "±" (UTF-8), "+-" or "+/-"; the sign is optional.
std::string amountText(const std::string& text)
{
    const std::string t = trimmed(text);
    for (const char* sign : {"\xc2\xb1", "+/-", "+-"})
        if (t.rfind(sign, 0) == 0)
            return trimmed(t.substr(std::string(sign).size()));
    return t;
}
} // namespace

VariationSpec parseVariation(const quarl::PluginDescription& description, const std::string& text)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos)
        throw UsageError("--vary takes NAME=\xc2\xb1" "AMOUNT (for example SIMTuning=+-6 or NoiseLevel=+-3dB), not " +
                         quoted(text, kQuotedExcerptBytes));
    VariationSpec spec;
    spec.property = propertyIndex(description, trimmed(text.substr(0, eq)));
    const quarl::PropertyDescription& p = description.properties[spec.property];
    if (p.type == quarl::PropertyType::Bool)
        throw UsageError("\"" + p.name + "\" is a switch: --vary takes properties with a range");
    const std::string amount = amountText(text.substr(eq + 1));
    float v = 0.f;
    const std::string unit = p.values.empty() ? p.unit : std::string();
    if (!parseQuantity(amount, unit, v) || !(v > 0.f))
        throw UsageError("--vary " + p.name + " takes a positive amount" +
                         (unit.empty() ? std::string(p.values.empty() ? "" : " of list entries")
                                       : " in " + unit) +
                         ", not " + quoted(amount, kQuotedExcerptBytes));
    spec.amount = v;
    return spec;
}

std::vector<VariedValue> applyVariation(ParameterSettings& settings, const std::vector<VariationSpec>& specs,
                                        std::uint64_t seed)
{
    std::vector<VariedValue> varied;
    const quarl::PluginDescription& description = settings.description();
    for (const VariationSpec& spec : specs)
    {
        const quarl::PropertyDescription& p = description.properties[spec.property];
        const double setting = settings.value(p.name);
        std::uint64_t state = seed ^ fnv1a(p.name);
        const double u = static_cast<double>(splitMix64(state) >> 11) * 0x1.0p-53;
        const double lo = std::max(setting - spec.amount, p.minValue);
        const double hi = std::min(setting + spec.amount, p.maxValue);
        // Hundredths of a unit: as fine as anyone sets by hand, and short to read back.
        double value = std::clamp(std::round((lo + u * (hi - lo)) * 100.0) / 100.0, lo, hi);
        if (p.type == quarl::PropertyType::Int)
        {
            // Whole steps (list entries), each as likely as the others.
            const double first = std::ceil(lo), last = std::floor(hi);
            value = std::min(last, first + std::floor(u * (last - first + 1.0)));
        }
        settings.setValue(spec.property, value);
        VariedValue v;
        v.property = p.name;
        v.value = value;
        v.offset = std::round((value - setting) * 100.0) / 100.0;
        v.text = settings.valueText(spec.property);
        varied.push_back(v);
    }
    return varied;
}

std::uint64_t mixedSeed(std::uint64_t seed, std::uint64_t other)
{
    std::uint64_t state = seed ^ (other * 0x9e3779b97f4a7c15ull);
    return splitMix64(state);
}

std::uint64_t seedFromName(const std::string& outputPath)
{
    return fnv1a(std::filesystem::path(outputPath).filename().string());
}
