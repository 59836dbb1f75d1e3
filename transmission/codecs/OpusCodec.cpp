// Opus at 48 kHz in 20 ms frames (960 samples), 6 to 64 kbit/s, variable rate at complexity 1
// (as a phone or a game's voice chat runs it: at full complexity the encoder alone costs five
// times the rest of a render); the bandwidth follows the rate unless one is asked for. DTX sends nothing
// in silence (packets of two bytes or fewer need not be sent); the decoder conceals what is
// missing.
#include "transmission/codecs/CodecFactories.h"
#include "transmission/codecs/LibraryCodec.h"

#include <opus/opus.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace transmission
{
namespace
{
int bandwidthCode(OpusBandwidth bandwidth)
{
    switch (bandwidth)
    {
    case OpusBandwidth::Narrow: return OPUS_BANDWIDTH_NARROWBAND;
    case OpusBandwidth::Medium: return OPUS_BANDWIDTH_MEDIUMBAND;
    case OpusBandwidth::Wide: return OPUS_BANDWIDTH_WIDEBAND;
    case OpusBandwidth::SuperWide: return OPUS_BANDWIDTH_SUPERWIDEBAND;
    case OpusBandwidth::Full: return OPUS_BANDWIDTH_FULLBAND;
    case OpusBandwidth::Automatic: break;
    }
    return OPUS_AUTO;
}

constexpr int kRate = 48000;
constexpr int kFrame = 960;

using EncoderHandle = CodecHandle<OpusEncoder, void>;
using DecoderHandle = CodecHandle<OpusDecoder, void>;

// As the Ogg Opus tools set it up: 20 ms frames, float input of 16-bit depth, unconstrained
// VBR. They use the multistream encoder; for one mono stream the plain encoder writes the same
// packets, without the multistream layer's processor check on every frame (a quarter of the
// encoder's time on a virtual machine).
EncoderHandle makeEncoder(const CodecSettings& settings)
{
    int error = OPUS_OK;
    OpusEncoder* encoder = opus_encoder_create(kRate, 1, OPUS_APPLICATION_AUDIO, &error);
    if (error != OPUS_OK || encoder == nullptr)
        throw std::runtime_error(std::string("Opus encoder: ") + opus_strerror(error));
    opus_encoder_ctl(encoder, OPUS_SET_EXPERT_FRAME_DURATION(OPUS_FRAMESIZE_20_MS));
    opus_encoder_ctl(encoder, OPUS_SET_BITRATE(settings.bitRate));
    opus_encoder_ctl(encoder, OPUS_SET_COMPLEXITY(1));
    opus_encoder_ctl(encoder, OPUS_SET_VBR_CONSTRAINT(0));
    opus_encoder_ctl(encoder, OPUS_SET_LSB_DEPTH(16));
    opus_encoder_ctl(encoder, OPUS_SET_DTX(settings.discontinuous ? 1 : 0));
    if (settings.bandwidth != OpusBandwidth::Automatic)
        opus_encoder_ctl(encoder, OPUS_SET_BANDWIDTH(bandwidthCode(settings.bandwidth)));
    return makeHandle(encoder, opus_encoder_destroy);
}

DecoderHandle makeDecoder()
{
    int error = OPUS_OK;
    OpusDecoder* decoder = opus_decoder_create(kRate, 1, &error);
    if (error != OPUS_OK || decoder == nullptr)
        throw std::runtime_error(std::string("Opus decoder: ") + opus_strerror(error));
    return makeHandle(decoder, opus_decoder_destroy);
}

double lookahead(OpusEncoder* encoder)
{
    opus_int32 samples = 0;
    opus_encoder_ctl(encoder, OPUS_GET_LOOKAHEAD(&samples));
    return samples;
}

class OpusCodec final : public LibraryCodec<EncoderHandle, DecoderHandle>
{
public:
    explicit OpusCodec(const CodecSettings& settings) : OpusCodec(makeEncoder(settings)) {}

    std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) override
    {
        for (int i = 0; i < kFrame; ++i)
            m_float[i] = static_cast<float>(frame[i]) * (1.f / 32768.f);
        const opus_int32 bytes = opus_encode_float(encoder(), m_float, kFrame, packet, kMostPacketBytes);
        return bytes > 2 ? static_cast<std::size_t>(bytes) : 0;
    }
    void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) override
    {
        if (opus_decode(decoder(), packet, static_cast<opus_int32>(bytes), frame, kFrame, 0) != kFrame)
            decodeMissing(frame);
    }
    void decodeMissing(std::int16_t* frame) override
    {
        if (opus_decode(decoder(), nullptr, 0, frame, kFrame, 0) != kFrame)
            std::fill(frame, frame + kFrame, std::int16_t{0});
    }

private:
    // The delay is the encoder's look-ahead, so the format is read from the encoder made first.
    explicit OpusCodec(EncoderHandle madeFirst)
        : LibraryCodec({kRate, kFrame, lookahead(madeFirst.get()), true}, std::move(madeFirst), makeDecoder())
    {
    }

    float m_float[kFrame] = {};
};
} // namespace

std::unique_ptr<SpeechCodec> makeOpusCodec(const CodecSettings& settings)
{
    return std::make_unique<OpusCodec>(settings);
}

} // namespace transmission
