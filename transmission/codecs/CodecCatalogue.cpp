#include "transmission/codecs/CodecCatalogue.h"

#include <cstdio>

namespace transmission
{

#ifndef CRUMLET_HAVE_GSM
#define CRUMLET_HAVE_GSM 0
#endif
#ifndef CRUMLET_HAVE_AMRNB
#define CRUMLET_HAVE_AMRNB 0
#endif
#ifndef CRUMLET_HAVE_AMRWB
#define CRUMLET_HAVE_AMRWB 0
#endif
#ifndef CRUMLET_HAVE_OPUS
#define CRUMLET_HAVE_OPUS 0
#endif
#ifndef CRUMLET_HAVE_CODEC2
#define CRUMLET_HAVE_CODEC2 0
#endif
#ifndef CRUMLET_HAVE_SPANDSP
#define CRUMLET_HAVE_SPANDSP 0
#endif
#ifndef CRUMLET_HAVE_BCG729
#define CRUMLET_HAVE_BCG729 0
#endif

const std::vector<CodecEntry>& codecCatalogue()
{
    static const std::vector<CodecEntry> entries = {
        {CodecKind::Gsm, "gsm", "GSM 06.10 full rate", 8000, {13000}, 13000, 0, 0, false, "libgsm",
         CRUMLET_HAVE_GSM != 0},
        {CodecKind::AmrNb, "amr", "AMR narrowband", 8000, {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200}, 12200,
         0, 0, true, "opencore-amrnb", CRUMLET_HAVE_AMRNB != 0},
        {CodecKind::AmrWb, "amr-wb", "AMR wideband", 16000,
         {6600, 8850, 12650, 14250, 15850, 18250, 19850, 23050, 23850}, 12650, 0, 0, true,
         "vo-amrwbenc and opencore-amrwb", CRUMLET_HAVE_AMRWB != 0},
        {CodecKind::Opus, "opus", "Opus", 48000, {}, 24000, 6000, 64000, true, "libopus", CRUMLET_HAVE_OPUS != 0},
        {CodecKind::Codec2, "codec2", "Codec 2", 8000, {700, 1200, 1300, 1400, 1600, 2400, 3200}, 1600, 0, 0, false,
         "libcodec2", CRUMLET_HAVE_CODEC2 != 0},
        {CodecKind::Lpc10, "lpc10", "LPC-10", 8000, {2400}, 2400, 0, 0, false, "spandsp", CRUMLET_HAVE_SPANDSP != 0},
        {CodecKind::G726, "g726", "G.726 ADPCM", 8000, {16000, 24000, 32000, 40000}, 32000, 0, 0, false, "spandsp",
         CRUMLET_HAVE_SPANDSP != 0},
        {CodecKind::G729, "g729", "G.729", 8000, {8000}, 8000, 0, 0, true, "bcg729", CRUMLET_HAVE_BCG729 != 0},
    };
    return entries;
}

const CodecEntry& codecEntry(CodecKind kind)
{
    for (const auto& entry : codecCatalogue())
        if (entry.kind == kind)
            return entry;
    throw SettingsError("no codec");
}

const CodecEntry* findCodec(const std::string& name)
{
    for (const auto& entry : codecCatalogue())
        if (name == entry.name)
            return &entry;
    return nullptr;
}

namespace
{
std::string rateText(int bitRate, bool kbit)
{
    char text[32];
    if (kbit)
        std::snprintf(text, sizeof text, "%g", bitRate / 1000.0);
    else
        std::snprintf(text, sizeof text, "%d", bitRate);
    return text;
}
} // namespace

std::string ratesText(const CodecEntry& entry)
{
    if (entry.lowestBitRate > 0)
        return rateText(entry.lowestBitRate, true) + "k to " + rateText(entry.highestBitRate, true) + "k bit/s";
    const bool kbit = entry.kind != CodecKind::Codec2;
    std::string text;
    for (int rate : entry.bitRates)
        text += (text.empty() ? "" : ", ") + rateText(rate, kbit);
    return text + (kbit ? " kbit/s" : " bit/s");
}

} // namespace transmission
