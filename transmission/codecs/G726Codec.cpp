// G.726 ADPCM (spandsp) at 16, 24, 32 or 40 kbit/s, sample by sample at 8 kHz, sent in 20 ms
// packets of 160 samples. No concealment of its own.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/LibraryCodec.h"

#include <cstdint>
extern "C" {
#include <spandsp/telephony.h>
#include <spandsp/g726.h>
}

namespace transmission
{
namespace
{
using G726State = CodecHandle<g726_state_t, int>;

G726State makeState(int bitRate)
{
    return makeHandle(g726_init(nullptr, bitRate, G726_ENCODING_LINEAR, G726_PACKING_NONE), g726_free);
}

class G726Codec final : public LibraryCodec<G726State>
{
public:
    explicit G726Codec(const CodecSettings& settings)
        : LibraryCodec({8000, 160, 0, false}, makeState(settings.bitRate), makeState(settings.bitRate))
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        return packetSize(g726_encode(encoder(), packet, frame, 160));
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        g726_decode(decoder(), frame, packet, static_cast<int>(bytes));
    }
};
} // namespace

std::unique_ptr<SpeechCodec> makeG726Codec(const CodecSettings& settings)
{
    return std::make_unique<G726Codec>(settings);
}

} // namespace transmission
