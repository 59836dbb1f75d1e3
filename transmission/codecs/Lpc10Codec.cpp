// LPC-10 (spandsp): 180 samples at 8 kHz, 22.5 ms, in 7 bytes (2.4 kbit/s). No concealment of
// its own.
#include "transmission/codecs/CodecFactories.h"

#include <cstdint>
extern "C" {
#include <spandsp/telephony.h>
#include <spandsp/lpc10.h>
}

#include <new>

namespace transmission
{
namespace
{
class Lpc10Codec final : public SpeechCodec
{
public:
    Lpc10Codec() : m_encoder(lpc10_encode_init(nullptr, 0)), m_decoder(lpc10_decode_init(nullptr, 0))
    {
        if (m_encoder == nullptr || m_decoder == nullptr)
            throw std::bad_alloc();
    }
    ~Lpc10Codec() override
    {
        lpc10_encode_free(m_encoder);
        lpc10_decode_free(m_decoder);
    }
    Lpc10Codec(const Lpc10Codec&) = delete;
    Lpc10Codec& operator=(const Lpc10Codec&) = delete;

    int sampleRate() const override { return 8000; }
    int frameSamples() const override { return 180; }
    double delaySamples() const override { return kDelay; }
    bool conceals() const override { return false; }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        const int bytes = lpc10_encode(m_encoder, packet, frame, 180);
        return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        lpc10_decode(m_decoder, frame, packet, static_cast<int>(bytes));
    }
    void decodeMissing(std::int16_t*) override {}

private:
    // The analysis buffer of several frames and the pitch-synchronous synthesis, as measured on
    // speech's envelope (the decoded waveform is synthetic, so only its envelope lines up).
    static constexpr int kDelay = 874;
    lpc10_encode_state_t* m_encoder;
    lpc10_decode_state_t* m_decoder;
};
} // namespace

std::unique_ptr<SpeechCodec> makeLpc10Codec() { return std::make_unique<Lpc10Codec>(); }

} // namespace transmission
