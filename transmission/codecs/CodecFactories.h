// The constructors of each codec's channel, one file each; only the ones this build has
// are defined (see MakeSpeechCodec.cpp).
#pragma once

#include "transmission/TransmissionSettings.h"
#include "transmission/codecs/CodecHandle.h"
#include "transmission/codecs/SpeechCodec.h"

#include <memory>

namespace transmission
{
std::unique_ptr<SpeechCodec> makeGsmCodec();
std::unique_ptr<SpeechCodec> makeAmrNbCodec(const CodecSettings& settings);
std::unique_ptr<SpeechCodec> makeAmrWbCodec(const CodecSettings& settings);
std::unique_ptr<SpeechCodec> makeOpusCodec(const CodecSettings& settings);
std::unique_ptr<SpeechCodec> makeCodec2Codec(const CodecSettings& settings);
std::unique_ptr<SpeechCodec> makeLpc10Codec();
std::unique_ptr<SpeechCodec> makeG726Codec(const CodecSettings& settings);
std::unique_ptr<SpeechCodec> makeG729Codec(const CodecSettings& settings);
} // namespace transmission
