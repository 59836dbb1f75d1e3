// LPC-10 (spandsp): 180 samples at 8 kHz, 22.5 ms, in 7 bytes (2.4 kbit/s). No concealment of
// its own.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/LibraryCodec.h"

#include <cstdint>
extern "C" {
#include <spandsp/telephony.h>
#include <spandsp/lpc10.h>
}

namespace transmission
{
namespace
{
class Lpc10Codec final
    : public LibraryCodec<CodecHandle<lpc10_encode_state_t, int>, CodecHandle<lpc10_decode_state_t, int>>
{
public:
    // Delayed by the analysis buffer of several frames and the pitch-synchronous synthesis, as
    // measured on speech's envelope (the decoded waveform is synthetic, so only its envelope
    // lines up).
    Lpc10Codec()
        : LibraryCodec({8000, 180, 874, false}, makeHandle(lpc10_encode_init(nullptr, 0), lpc10_encode_free),
                       makeHandle(lpc10_decode_init(nullptr, 0), lpc10_decode_free))
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        return packetSize(lpc10_encode(encoder(), packet, frame, 180));
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        lpc10_decode(decoder(), frame, packet, static_cast<int>(bytes));
    }
};
} // namespace

std::unique_ptr<SpeechCodec> makeLpc10Codec() { return std::make_unique<Lpc10Codec>(); }

} // namespace transmission
