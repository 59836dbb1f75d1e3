// GSM 06.10 full rate: 160 samples at 8 kHz in 33 bytes. The decoder has no concealment of
// its own.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/LibraryCodec.h"

#include <gsm.h>

namespace transmission
{
namespace
{
class GsmCodec final : public LibraryCodec<CodecHandle<gsm_state, void>>
{
public:
    GsmCodec()
        : LibraryCodec({8000, 160, 0, false}, makeHandle(gsm_create(), gsm_destroy), makeHandle(gsm_create(), gsm_destroy))
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        gsm_encode(encoder(), const_cast<gsm_signal*>(frame), packet);
        return sizeof(gsm_frame);
    }
    void decode(const std::uint8_t* packet, std::size_t, std::int16_t* frame) override
    {
        gsm_decode(decoder(), const_cast<gsm_byte*>(packet), frame);
    }
};
} // namespace

std::unique_ptr<SpeechCodec> makeGsmCodec() { return std::make_unique<GsmCodec>(); }

} // namespace transmission
