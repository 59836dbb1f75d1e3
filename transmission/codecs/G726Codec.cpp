// G.726 ADPCM (spandsp) at 16, 24, 32 or 40 kbit/s, sample by sample at 8 kHz, sent in 20 ms
// packets of 160 samples. No concealment of its own.
#include "transmission/codecs/CodecFactories.h"

#include <cstdint>
extern "C" {
#include <spandsp/telephony.h>
#include <spandsp/g726.h>
}

namespace transmission
{
namespace
{
class G726Codec final : public SpeechCodec
{
public:
    explicit G726Codec(const CodecSettings& settings)
        : SpeechCodec({8000, 160, 0, false}), m_encoder(makeState(settings.bitRate)),
          m_decoder(makeState(settings.bitRate))
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        return packetSize(g726_encode(m_encoder.get(), packet, frame, 160));
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        g726_decode(m_decoder.get(), frame, packet, static_cast<int>(bytes));
    }

private:
    using State = CodecHandle<g726_state_t, int>;
    static State makeState(int bitRate)
    {
        return makeHandle(g726_init(nullptr, bitRate, G726_ENCODING_LINEAR, G726_PACKING_NONE), g726_free);
    }

    State m_encoder;
    State m_decoder;
};
} // namespace

std::unique_ptr<SpeechCodec> makeG726Codec(const CodecSettings& settings)
{
    return std::make_unique<G726Codec>(settings);
}

} // namespace transmission
