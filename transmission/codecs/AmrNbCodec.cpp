// AMR narrowband: 160 samples at 8 kHz per 20 ms frame, eight modes from 4.75 to 12.2 kbit/s;
// with DTX the encoder's VAD sends comfort-noise frames in silence. The decoder conceals a
// frame marked bad.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/LibraryCodec.h"

#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrnb/interf_enc.h>

#include <array>
#include <cstring>

namespace transmission
{
namespace
{
Mode modeFor(int bitRate)
{
    static constexpr std::array<int, 8> rates = {4750, 5150, 5900, 6700, 7400, 7950, 10200, 12200};
    for (std::size_t i = 0; i < rates.size(); ++i)
        if (rates[i] == bitRate)
            return static_cast<Mode>(i);
    return MR122;
}

class AmrNbCodec final : public LibraryCodec<CodecHandle<void, void>>
{
public:
    explicit AmrNbCodec(const CodecSettings& settings)
        // Delayed by the encoder's 5 ms look-ahead, less the fraction of a sample its filters
        // take back (measured on speech).
        : LibraryCodec({8000, 160, 39.6, true},
                       makeHandle(Encoder_Interface_init(settings.discontinuous ? 1 : 0), Encoder_Interface_exit),
                       makeHandle(Decoder_Interface_init(), Decoder_Interface_exit)),
          m_mode(modeFor(settings.bitRate))
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        return packetSize(Encoder_Interface_Encode(encoder(), m_mode, frame, packet, 0));
    }
    void decode(const std::uint8_t* packet, std::size_t, std::int16_t* frame) override
    {
        Decoder_Interface_Decode(decoder(), packet, frame, 0);
    }
    void decodeMissing(std::int16_t* frame) override
    {
        // A bad frame of the mode in use: the decoder ignores its bits and conceals.
        std::uint8_t lost[32] = {};
        lost[0] = static_cast<std::uint8_t>((m_mode << 3) | 0x04);
        Decoder_Interface_Decode(decoder(), lost, frame, 1);
    }

private:
    Mode m_mode;
};
} // namespace

std::unique_ptr<SpeechCodec> makeAmrNbCodec(const CodecSettings& settings)
{
    return std::make_unique<AmrNbCodec>(settings);
}

} // namespace transmission
