// GSM 06.10 full rate: 160 samples at 8 kHz in 33 bytes. The decoder has no concealment of
// its own.
#include "transmission/codecs/CodecFactories.h"

#include <gsm.h>

namespace transmission
{
namespace
{
class GsmCodec final : public SpeechCodec
{
public:
    GsmCodec()
        : SpeechCodec({8000, 160, 0, false}), m_encoder(makeHandle(gsm_create(), gsm_destroy)),
          m_decoder(makeHandle(gsm_create(), gsm_destroy))
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        gsm_encode(m_encoder.get(), const_cast<gsm_signal*>(frame), packet);
        return sizeof(gsm_frame);
    }
    void decode(const std::uint8_t* packet, std::size_t, std::int16_t* frame) override
    {
        gsm_decode(m_decoder.get(), const_cast<gsm_byte*>(packet), frame);
    }

private:
    CodecHandle<gsm_state, void> m_encoder;
    CodecHandle<gsm_state, void> m_decoder;
};
} // namespace

std::unique_ptr<SpeechCodec> makeGsmCodec() { return std::make_unique<GsmCodec>(); }

} // namespace transmission
