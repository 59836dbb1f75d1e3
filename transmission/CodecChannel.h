// One channel through a codec: resampled to the codec's rate, cut into frames, encoded, sent
// through the lossy network, decoded (or concealed) and resampled back. The output is aligned
// with the input: the codec's own delay is removed, and finish() completes the last frame and
// brings out at least as many samples as went in.
#pragma once

#include "transmission/PacketLoss.h"
#include "transmission/StreamResampler.h"
#include "transmission/TransmissionSettings.h"
#include "transmission/codecs/SpeechCodec.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace transmission
{

class CodecChannel
{
public:
    CodecChannel(const CodecSettings& codec, Concealment concealment, double sampleRate, PacketLoss& loss);

    // Takes `count` samples `stride` apart; appends the ready output to `out`.
    void process(const float* in, std::size_t count, std::size_t stride, std::vector<float>& out);
    void finish(std::vector<float>& out);
    // How lost frames are filled in from the next one on.
    void setConcealment(Concealment concealment) { m_concealment = concealment; }
    // Makes room for calls of up to `count` samples, so that they take no memory.
    void reserve(std::size_t count);

    // Whether both resamplers work sample by sample (see StreamResampler).
    bool sampleBySample() const { return m_down.sampleBySample() && m_up.sampleBySample(); }
    int codecRate() const { return m_codec->sampleRate(); }
    int frameSamples() const { return m_codec->frameSamples(); }
    std::uint64_t framesLost() const { return m_framesLost; }
    std::uint64_t framesCoded() const { return m_frameIndex; }

private:
    void codeFrames(bool finishing, std::vector<float>& out);
    void codeOneFrame();

    std::unique_ptr<SpeechCodec> m_codec;
    Concealment m_concealment;
    PacketLoss& m_loss;
    double m_rate;                   // the line's
    StreamResampler m_down;
    StreamResampler m_up;
    std::vector<float> m_input;      // host rate, sanitised
    std::vector<float> m_native;     // codec rate, waiting for a whole frame
    std::vector<float> m_decoded;    // codec rate, decoded
    std::vector<float> m_output;     // back at the output's rate
    std::vector<std::int16_t> m_frameIn, m_frameOut, m_lastFrame;
    std::vector<std::uint8_t> m_packet;
    std::size_t m_delayToSkip = 0;   // output samples still to drop

    int m_repeats = 0;
    std::uint64_t m_frameIndex = 0;
    std::uint64_t m_framesLost = 0;
    std::uint64_t m_nativeIn = 0;    // codec-rate samples that came from the input
};

} // namespace transmission
