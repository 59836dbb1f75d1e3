#include "transmission/codecs/CodecCatalogue.h"
#include "transmission/codecs/CodecFactories.h"

namespace transmission
{

std::unique_ptr<SpeechCodec> makeSpeechCodec(const CodecSettings& settings)
{
    const CodecEntry& entry = codecEntry(settings.kind);
    if (!entry.available)
        throw SettingsError(std::string("the codec \"") + entry.name + "\" is not in this build (it needs " +
                            entry.library + ")");
    switch (settings.kind)
    {
#if CRUMLET_HAVE_GSM
    case CodecKind::Gsm: return makeGsmCodec();
#endif
#if CRUMLET_HAVE_AMRNB
    case CodecKind::AmrNb: return makeAmrNbCodec(settings);
#endif
#if CRUMLET_HAVE_AMRWB
    case CodecKind::AmrWb: return makeAmrWbCodec(settings);
#endif
#if CRUMLET_HAVE_OPUS
    case CodecKind::Opus: return makeOpusCodec(settings);
#endif
#if CRUMLET_HAVE_CODEC2
    case CodecKind::Codec2: return makeCodec2Codec(settings);
#endif
#if CRUMLET_HAVE_SPANDSP
    case CodecKind::Lpc10: return makeLpc10Codec();
    case CodecKind::G726: return makeG726Codec(settings);
#endif
#if CRUMLET_HAVE_BCG729
    case CodecKind::G729: return makeG729Codec(settings);
#endif
    default: break;
    }
    throw SettingsError("no codec");
}

} // namespace transmission
