// AMR wideband: 320 samples at 16 kHz per 20 ms frame, nine modes from 6.6 to 23.85 kbit/s,
// encoded by vo-amrwbenc and decoded by opencore-amrwb, which conceals lost frames.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/LibraryCodec.h"

#include <opencore-amrwb/dec_if.h>
#include <vo-amrwbenc/enc_if.h>

#include <array>

namespace transmission
{
namespace
{
// opencore-amrwb's frame qualities (its if_rom.h).
constexpr int kLostFrame = 2;

int modeFor(int bitRate)
{
    static constexpr std::array<int, 9> rates = {6600, 8850, 12650, 14250, 15850, 18250, 19850, 23050, 23850};
    for (std::size_t i = 0; i < rates.size(); ++i)
        if (rates[i] == bitRate)
            return static_cast<int>(i);
    return 2;
}

class AmrWbCodec final : public LibraryCodec<CodecHandle<void, void>>
{
public:
    explicit AmrWbCodec(const CodecSettings& settings)
        // Delayed by the look-ahead and the decoder's 12.8 to 16 kHz band-splitting filters,
        // measured.
        : LibraryCodec({16000, 320, 94.7, true}, makeHandle(E_IF_init(), E_IF_exit), makeHandle(D_IF_init(), D_IF_exit)),
          m_mode(modeFor(settings.bitRate)), m_dtx(settings.discontinuous ? 1 : 0)
    {
    }

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        return packetSize(E_IF_encode(encoder(), m_mode, frame, packet, m_dtx));
    }
    void decode(const std::uint8_t* packet, std::size_t, std::int16_t* frame) override
    {
        D_IF_decode(decoder(), packet, frame, 0);
    }
    void decodeMissing(std::int16_t* frame) override
    {
        std::uint8_t lost[64] = {};
        lost[0] = static_cast<std::uint8_t>((m_mode << 3) | 0x04);
        D_IF_decode(decoder(), lost, frame, kLostFrame);
    }

private:
    int m_mode;
    int m_dtx;
};
} // namespace

std::unique_ptr<SpeechCodec> makeAmrWbCodec(const CodecSettings& settings)
{
    return std::make_unique<AmrWbCodec>(settings);
}

} // namespace transmission
