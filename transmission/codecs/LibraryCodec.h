// A codec whose encoder and decoder are states made and freed by its library: the pair is
// owned here, and each codec hands them to its library's calls.
#pragma once

#include "transmission/codecs/CodecHandle.h"
#include "transmission/codecs/SpeechCodec.h"

#include <utility>

namespace transmission
{

template <typename EncoderHandle, typename DecoderHandle = EncoderHandle>
class LibraryCodec : public SpeechCodec
{
protected:
    // Taken by reference, so a format read from the encoder is read before the encoder moves.
    LibraryCodec(const CodecFormat& format, EncoderHandle&& encoder, DecoderHandle&& decoder)
        : SpeechCodec(format), m_encoder(std::move(encoder)), m_decoder(std::move(decoder))
    {
    }

    typename EncoderHandle::pointer encoder() const { return m_encoder.get(); }
    typename DecoderHandle::pointer decoder() const { return m_decoder.get(); }

private:
    EncoderHandle m_encoder;
    DecoderHandle m_decoder;
};

} // namespace transmission
