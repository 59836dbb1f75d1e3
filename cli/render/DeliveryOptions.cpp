#include "cli/render/DeliveryOptions.h"

#include "cli/io/QuotedText.h"
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/TypedNumber.h"
#include "cli/settings/UsageError.h"

#include <cmath>
#include <cstdio>

std::uint32_t deliveryRate(const std::string& text)
{
    float hz = 0.f;
    if (!parseQuantity(text, "Hz", hz) || hz != std::round(hz) || hz < kLowestDeliveryRate || hz > kHighestDeliveryRate)
        throw UsageError("--rate takes a sample rate in whole hertz from 8000 to 384000 (48000, 44.1k), not " +
                         quoted(text, kQuotedExcerptBytes) + numberLookalikes(text));
    return static_cast<std::uint32_t>(hz);
}

void checkDeliveryRate(std::uint32_t hz)
{
    if (hz != 0 && (hz < kLowestDeliveryRate || hz > kHighestDeliveryRate))
        deliveryRate(std::to_string(hz));
}

void checkChannels(std::uint32_t channels)
{
    if (channels > 1)
        throw UsageError("--channels takes 1 (a dialogue line folded to mono before the effect), not " +
                         std::to_string(channels));
}

std::uint32_t deliveryChannels(const std::string& text)
{
    const bool digits = !text.empty() && text.size() <= 9 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits)
        throw UsageError("--channels takes 1 (a dialogue line folded to mono before the effect), not " +
                         quoted(text, kQuotedExcerptBytes));
    const auto channels = static_cast<std::uint32_t>(std::stoul(text));
    checkChannels(channels);
    return channels;
}

unsigned sampleBits(const std::string& text)
{
    if (text == "16")
        return 16;
    if (text == "24")
        return 24;
    throw UsageError("--bits takes 16 or 24 (32-bit float is --format float), not " + quoted(text, kQuotedExcerptBytes));
}

SampleFormat sampleFormatOf(const std::string& format, unsigned bits)
{
    if (bits != 0 && bits != 16 && bits != 24)
        sampleBits(std::to_string(bits));
    const SampleFormat fromBits = bits == 16 ? SampleFormat::Pcm16 : bits == 24 ? SampleFormat::Pcm24 : SampleFormat::Automatic;
    if (format.empty())
        return fromBits;
    const SampleFormat fromFormat = parseSampleFormat(format);
    if (bits != 0 && fromFormat != fromBits)
        throw UsageError("--bits " + std::to_string(bits) + " and --format " + format + " say different things: give one");
    return fromFormat;
}

bool ditherOf(const std::string& text)
{
    if (text.empty() || text == "tpdf")
        return true;
    if (text == "none")
        return false;
    throw UsageError("--dither takes tpdf (the default for 16 and 24 bits) or none, not " +
                     quoted(text, kQuotedExcerptBytes));
}

double checkedLoudness(double lufs)
{
    if (!std::isfinite(lufs) || lufs < -70.0 || lufs > 0.0)
    {
        char given[32];
        std::snprintf(given, sizeof given, "%g", lufs);
        throw UsageError("--loudness takes an integrated loudness from -70 to 0 LUFS (for example -23 or -16), not " +
                         std::string(given));
    }
    return lufs;
}

double loudnessOf(const std::string& text)
{
    double lufs = 0.0;
    if (!parseQuantity(text, "LUFS", lufs))
        throw UsageError("--loudness takes an integrated loudness from -70 to 0 LUFS (for example -23 or -16), not " +
                         quoted(text, kQuotedExcerptBytes) + numberLookalikes(text));
    return checkedLoudness(lufs);
}

void checkLoudnessChoice(const std::optional<double>& lufs, bool matchInput)
{
    if (lufs && matchInput)
        throw UsageError("give either --match-loudness or --loudness LUFS, not both");
    if (lufs)
        checkedLoudness(*lufs);
}

std::uint64_t seedOf(const std::string& text)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("a seed is a whole number from 0 to 18446744073709551615, not " + quoted(text, kQuotedExcerptBytes));
    try
    {
        return std::stoull(text);
    }
    catch (const std::out_of_range&)
    {
        throw UsageError("a seed is a whole number from 0 to 18446744073709551615, not " + quoted(text, kQuotedExcerptBytes));
    }
}
