// GSM 06.10 full rate: 160 samples at 8 kHz in 33 bytes. The decoder has no concealment of
// its own.
#include "transmission/codecs/CodecFactories.h"

#include <gsm.h>

#include <new>

namespace transmission
{
namespace
{
class GsmCodec final : public SpeechCodec
{
public:
    GsmCodec() : m_encoder(gsm_create()), m_decoder(gsm_create())
    {
        if (m_encoder == nullptr || m_decoder == nullptr)
            throw std::bad_alloc();
    }
    ~GsmCodec() override
    {
        gsm_destroy(m_encoder);
        gsm_destroy(m_decoder);
    }
    GsmCodec(const GsmCodec&) = delete;
    GsmCodec& operator=(const GsmCodec&) = delete;

    int sampleRate() const override { return 8000; }
    int frameSamples() const override { return 160; }
    double delaySamples() const override { return 0; }
    bool conceals() const override { return false; }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        gsm_encode(m_encoder, const_cast<gsm_signal*>(frame), packet);
        return sizeof(gsm_frame);
    }
    void decode(const std::uint8_t* packet, std::size_t, std::int16_t* frame) override
    {
        gsm_decode(m_decoder, const_cast<gsm_byte*>(packet), frame);
    }
    void decodeMissing(std::int16_t*) override {}

private:
    gsm m_encoder;
    gsm m_decoder;
};
} // namespace

std::unique_ptr<SpeechCodec> makeGsmCodec() { return std::make_unique<GsmCodec>(); }

} // namespace transmission
