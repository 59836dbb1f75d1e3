// G.729 (bcg729): 80 samples at 8 kHz, 10 ms, in 10 bytes; with VAD (Annex B) silence goes as
// two-byte comfort-noise descriptions or nothing. The decoder conceals an erased frame.
#include "transmission/codecs/CodecFactories.h"

#include <cstdint>
extern "C" {
#include <bcg729/decoder.h>
#include <bcg729/encoder.h>
}

#include <new>

namespace transmission
{
namespace
{
class G729Codec final : public SpeechCodec
{
public:
    explicit G729Codec(const CodecSettings& settings)
        : m_encoder(initBcg729EncoderChannel(settings.discontinuous ? 1 : 0)), m_decoder(initBcg729DecoderChannel())
    {
        if (m_encoder == nullptr || m_decoder == nullptr)
            throw std::bad_alloc();
    }
    ~G729Codec() override
    {
        closeBcg729EncoderChannel(m_encoder);
        closeBcg729DecoderChannel(m_decoder);
    }
    G729Codec(const G729Codec&) = delete;
    G729Codec& operator=(const G729Codec&) = delete;

    int sampleRate() const override { return 8000; }
    int frameSamples() const override { return 80; }
    // The encoder's 5 ms look-ahead, less the fraction of a sample its filters take back
    // (measured on speech).
    double delaySamples() const override { return 39.6; }
    bool conceals() const override { return true; }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        std::uint8_t bytes = 0;
        bcg729Encoder(m_encoder, frame, packet, &bytes);
        return bytes;
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        bcg729Decoder(m_decoder, packet, static_cast<std::uint8_t>(bytes), 0, bytes == 2 ? 1 : 0, 0, frame);
    }
    void decodeMissing(std::int16_t* frame) override
    {
        // With VAD on, a frame not sent continues the comfort noise; else it is an erasure.
        bcg729Decoder(m_decoder, nullptr, 0, 1, 0, 0, frame);
    }

private:
    bcg729EncoderChannelContextStruct* m_encoder;
    bcg729DecoderChannelContextStruct* m_decoder;
};
} // namespace

std::unique_ptr<SpeechCodec> makeG729Codec(const CodecSettings& settings)
{
    return std::make_unique<G729Codec>(settings);
}

} // namespace transmission
