// One channel of a speech codec at its own sample rate: an encoder and the decoder that
// receives its packets, run a frame at a time on 16-bit samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace transmission
{

struct CodecSettings;

class SpeechCodec
{
public:
    static constexpr std::size_t kMostPacketBytes = 1500;

    virtual ~SpeechCodec() = default;

    virtual int sampleRate() const = 0;
    virtual int frameSamples() const = 0;
    // Samples by which the decoded signal lags the encoded one (the codec's look-ahead and
    // filter delays), at the codec's rate; a fraction where the filters make one.
    virtual double delaySamples() const = 0;
    // True when the decoder fills in a lost packet itself.
    virtual bool conceals() const = 0;

    // Encodes one frame into `packet` (kMostPacketBytes long); returns its size, 0 when the
    // encoder sends nothing for this frame (discontinuous transmission in silence).
    virtual std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) = 0;
    // Decodes one packet into one frame.
    virtual void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) = 0;
    // One frame in place of a packet that did not arrive (or was not sent). Only called when
    // conceals() is true.
    virtual void decodeMissing(std::int16_t* frame) = 0;
};

// A new encoder and decoder pair; throws SettingsError when this build lacks the codec.
std::unique_ptr<SpeechCodec> makeSpeechCodec(const CodecSettings& settings);

} // namespace transmission
