// G.729 (bcg729): 80 samples at 8 kHz, 10 ms, in 10 bytes; with VAD (Annex B) silence goes as
// two-byte comfort-noise descriptions or nothing. The decoder conceals an erased frame.
#include "transmission/codecs/CodecFactories.h"

#include <cstdint>
extern "C" {
#include <bcg729/decoder.h>
#include <bcg729/encoder.h>
}

namespace transmission
{
namespace
{
class G729Codec final : public SpeechCodec
{
public:
    explicit G729Codec(const CodecSettings& settings)
        // Delayed by the encoder's 5 ms look-ahead, less the fraction of a sample its filters
        // take back (measured on speech).
        : SpeechCodec({8000, 80, 39.6, true}),
          m_encoder(makeHandle(initBcg729EncoderChannel(settings.discontinuous ? 1 : 0), closeBcg729EncoderChannel)),
          m_decoder(makeHandle(initBcg729DecoderChannel(), closeBcg729DecoderChannel))
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        std::uint8_t bytes = 0;
        bcg729Encoder(m_encoder.get(), frame, packet, &bytes);
        return bytes;
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        bcg729Decoder(m_decoder.get(), packet, static_cast<std::uint8_t>(bytes), 0, bytes == 2 ? 1 : 0, 0, frame);
    }
    void decodeMissing(std::int16_t* frame) override
    {
        // With VAD on, a frame not sent continues the comfort noise; else it is an erasure.
        bcg729Decoder(m_decoder.get(), nullptr, 0, 1, 0, 0, frame);
    }

private:
    CodecHandle<bcg729EncoderChannelContextStruct, void> m_encoder;
    CodecHandle<bcg729DecoderChannelContextStruct, void> m_decoder;
};
} // namespace

std::unique_ptr<SpeechCodec> makeG729Codec(const CodecSettings& settings)
{
    return std::make_unique<G729Codec>(settings);
}

} // namespace transmission
