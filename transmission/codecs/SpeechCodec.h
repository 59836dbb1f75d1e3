// One channel of a speech codec at its own sample rate: an encoder and the decoder that
// receives its packets, run a frame at a time on 16-bit samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace transmission
{

struct CodecSettings;

// What a codec's channel is, fixed when it is made.
struct CodecFormat
{
    int sampleRate;
    int frameSamples;
    // Samples by which the decoded signal lags the encoded one (the codec's look-ahead and
    // filter delays), at the codec's rate; a fraction where the filters make one.
    double delaySamples;
    // True when the decoder fills in a lost packet itself.
    bool conceals;
};

class SpeechCodec
{
public:
    static constexpr std::size_t kMostPacketBytes = 1500;

    explicit SpeechCodec(const CodecFormat& format) : m_format(format) {}
    virtual ~SpeechCodec() = default;
    SpeechCodec(const SpeechCodec&) = delete;
    SpeechCodec& operator=(const SpeechCodec&) = delete;

    int sampleRate() const { return m_format.sampleRate; }
    int frameSamples() const { return m_format.frameSamples; }
    double delaySamples() const { return m_format.delaySamples; }
    bool conceals() const { return m_format.conceals; }

    // Encodes one frame into `packet` (kMostPacketBytes long); returns its size, 0 when the
    // encoder sends nothing for this frame (discontinuous transmission in silence).
    virtual std::size_t encode(const std::int16_t* frame, std::uint8_t* packet) = 0;
    // Decodes one packet into one frame.
    virtual void decode(const std::uint8_t* packet, std::size_t bytes, std::int16_t* frame) = 0;
    // One frame in place of a packet that did not arrive (or was not sent). Only called when
    // conceals() is true, so codecs without concealment leave it as it is.
    virtual void decodeMissing(std::int16_t*) {}

protected:
    // A library's count of the bytes it wrote as a packet's size: 0 when it wrote none or failed.
    static std::size_t packetSize(int bytes) { return bytes > 0 ? static_cast<std::size_t>(bytes) : 0; }

private:
    const CodecFormat m_format;
};

// A new encoder and decoder pair; throws SettingsError when this build lacks the codec.
std::unique_ptr<SpeechCodec> makeSpeechCodec(const CodecSettings& settings);

} // namespace transmission
