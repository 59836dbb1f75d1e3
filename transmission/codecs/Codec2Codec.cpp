// Codec 2 at 8 kHz: 3200 and 2400 bit/s in 20 ms frames, the lower rates in 40 ms frames
// (700 is the 700C mode). No concealment of its own.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/Codec2Random.h"

#include <codec2/codec2.h>

#include <new>

namespace transmission
{
namespace
{
int modeFor(int bitRate)
{
    switch (bitRate)
    {
    case 3200: return CODEC2_MODE_3200;
    case 2400: return CODEC2_MODE_2400;
    case 1400: return CODEC2_MODE_1400;
    case 1300: return CODEC2_MODE_1300;
    case 1200: return CODEC2_MODE_1200;
    case 700: return CODEC2_MODE_700C;
    default: return CODEC2_MODE_1600;
    }
}

class Codec2Codec final : public SpeechCodec
{
public:
    explicit Codec2Codec(const CodecSettings& settings)
        : m_encoder(codec2_create(modeFor(settings.bitRate))), m_decoder(codec2_create(modeFor(settings.bitRate)))
    {
        if (m_encoder == nullptr || m_decoder == nullptr)
        {
            if (m_encoder != nullptr)
                codec2_destroy(m_encoder);
            if (m_decoder != nullptr)
                codec2_destroy(m_decoder);
            throw std::bad_alloc();
        }
        m_frame = codec2_samples_per_frame(m_encoder);
        m_bytes = codec2_bytes_per_frame(m_encoder);
        // The analysis windows and the synthesis' overlap-add, as measured on speech's
        // envelope (the decoded waveform has phases of its own, so only its envelope lines
        // up): 21 ms, and 30 ms for 700C's smoothed spectral envelopes.
        m_delay = settings.bitRate == 700 ? 240 : 168;
    }
    ~Codec2Codec() override
    {
        codec2_destroy(m_encoder);
        codec2_destroy(m_decoder);
    }
    Codec2Codec(const Codec2Codec&) = delete;
    Codec2Codec& operator=(const Codec2Codec&) = delete;

    int sampleRate() const override { return 8000; }
    int frameSamples() const override { return m_frame; }
    double delaySamples() const override { return m_delay; }
    bool conceals() const override { return false; }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        Codec2RandomScope random(m_random);
        codec2_encode(m_encoder, packet, const_cast<short*>(frame));
        return static_cast<std::size_t>(m_bytes);
    }
    void decode(const std::uint8_t* packet, std::size_t, std::int16_t* frame) override
    {
        Codec2RandomScope random(m_random);
        codec2_decode(m_decoder, frame, packet);
    }
    void decodeMissing(std::int16_t*) override {}

private:
    struct CODEC2* m_encoder;
    struct CODEC2* m_decoder;
    int m_frame = 0;
    int m_bytes = 0;
    double m_delay = 0;
    unsigned long m_random = Codec2RandomScope::kFreshState;
};
} // namespace

std::unique_ptr<SpeechCodec> makeCodec2Codec(const CodecSettings& settings)
{
    return std::make_unique<Codec2Codec>(settings);
}

} // namespace transmission
