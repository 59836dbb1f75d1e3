// Codec 2 at 8 kHz: 3200 and 2400 bit/s in 20 ms frames, the lower rates in 40 ms frames
// (700 is the 700C mode). No concealment of its own.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/LibraryCodec.h"
#include "transmission/codecs/Codec2Random.h"

#include <codec2/codec2.h>

#include <utility>

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

// The analysis windows and the synthesis' overlap-add, as measured on speech's envelope (the
// decoded waveform has phases of its own, so only its envelope lines up): 21 ms, and 30 ms
// for 700C's smoothed spectral envelopes.
double delayFor(int bitRate) { return bitRate == 700 ? 240 : 168; }

using Codec2Handle = CodecHandle<CODEC2, void>;

Codec2Handle makeCodec2(int bitRate) { return makeHandle(codec2_create(modeFor(bitRate)), codec2_destroy); }

class Codec2Codec final : public LibraryCodec<Codec2Handle>
{
public:
    explicit Codec2Codec(const CodecSettings& settings) : Codec2Codec(settings.bitRate, makeCodec2(settings.bitRate)) {}

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        Codec2RandomScope random(m_random);
        codec2_encode(encoder(), packet, const_cast<short*>(frame));
        return static_cast<std::size_t>(m_bytes);
    }
    void decode(const std::uint8_t* packet, std::size_t, std::int16_t* frame) override
    {
        Codec2RandomScope random(m_random);
        codec2_decode(decoder(), frame, packet);
    }

private:
    // The frame's length depends on the mode, so the format is read from the encoder made first.
    Codec2Codec(int bitRate, Codec2Handle madeFirst)
        : LibraryCodec({8000, codec2_samples_per_frame(madeFirst.get()), delayFor(bitRate), false}, std::move(madeFirst),
                       makeCodec2(bitRate)),
          m_bytes(codec2_bytes_per_frame(encoder()))
    {
    }

    int m_bytes;
    unsigned long m_random = Codec2RandomScope::kFreshState;
};
} // namespace

std::unique_ptr<SpeechCodec> makeCodec2Codec(const CodecSettings& settings)
{
    return std::make_unique<Codec2Codec>(settings);
}

} // namespace transmission
