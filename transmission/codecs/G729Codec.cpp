// G.729 (bcg729): 80 samples at 8 kHz, 10 ms, in 10 bytes; with VAD (Annex B) silence goes as
// two-byte comfort-noise descriptions or nothing. The decoder conceals an erased frame.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/LibraryCodec.h"

#include <cstdint>
extern "C" {
#include <bcg729/decoder.h>
#include <bcg729/encoder.h>
}

namespace transmission
{
namespace
{
class G729Codec final
    : public LibraryCodec<CodecHandle<bcg729EncoderChannelContextStruct, void>,
                          CodecHandle<bcg729DecoderChannelContextStruct, void>>
{
public:
    explicit G729Codec(const CodecSettings& settings)
        // Delayed by the encoder's 5 ms look-ahead, less the fraction of a sample its filters
        // take back (measured on speech).
        : LibraryCodec({8000, 80, 39.6, true},
                       makeHandle(initBcg729EncoderChannel(settings.discontinuous ? 1 : 0), closeBcg729EncoderChannel),
                       makeHandle(initBcg729DecoderChannel(), closeBcg729DecoderChannel))
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        std::uint8_t bytes = 0;
        bcg729Encoder(encoder(), frame, packet, &bytes);
        return bytes;
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        bcg729Decoder(decoder(), packet, static_cast<std::uint8_t>(bytes), 0, bytes == 2 ? 1 : 0, 0, frame);
    }
    void decodeMissing(std::int16_t* frame) override
    {
        // With VAD on, a frame not sent continues the comfort noise; else it is an erasure.
        bcg729Decoder(decoder(), nullptr, 0, 1, 0, 0, frame);
    }
};
} // namespace

std::unique_ptr<SpeechCodec> makeG729Codec(const CodecSettings& settings)
{
    return std::make_unique<G729Codec>(settings);
}

} // namespace transmission
