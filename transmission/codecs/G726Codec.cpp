// G.726 ADPCM (spandsp) at 16, 24, 32 or 40 kbit/s, sample by sample at 8 kHz, sent in 20 ms
// packets of 160 samples. No concealment of its own.
#include "transmission/codecs/CodecFactories.h"

#include <cstdint>
extern "C" {
#include <spandsp/telephony.h>
#include <spandsp/g726.h>
}

#include <new>

namespace transmission
{
namespace
{
class G726Codec final : public SpeechCodec
{
public:
    explicit G726Codec(const CodecSettings& settings)
        : m_encoder(g726_init(nullptr, settings.bitRate, G726_ENCODING_LINEAR, G726_PACKING_NONE)),
          m_decoder(g726_init(nullptr, settings.bitRate, G726_ENCODING_LINEAR, G726_PACKING_NONE))
    {
        if (m_encoder == nullptr || m_decoder == nullptr)
            throw std::bad_alloc();
    }
    ~G726Codec() override
    {
        g726_free(m_encoder);
        g726_free(m_decoder);
    }
    G726Codec(const G726Codec&) = delete;
    G726Codec& operator=(const G726Codec&) = delete;

    int sampleRate() const override { return 8000; }
    int frameSamples() const override { return 160; }
    double delaySamples() const override { return 0; }
    bool conceals() const override { return false; }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        const int bytes = g726_encode(m_encoder, packet, frame, 160);
        return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        g726_decode(m_decoder, frame, packet, static_cast<int>(bytes));
    }
    void decodeMissing(std::int16_t*) override {}

private:
    g726_state_t* m_encoder;
    g726_state_t* m_decoder;
};
} // namespace

std::unique_ptr<SpeechCodec> makeG726Codec(const CodecSettings& settings)
{
    return std::make_unique<G726Codec>(settings);
}

} // namespace transmission
