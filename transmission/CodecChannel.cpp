#include "transmission/CodecChannel.h"

#include "transmission/SampleRange.h"

#include <algorithm>
#include <cmath>

namespace transmission
{
namespace
{
// A repeated frame is 3 dB quieter each time; after eight it is silence.
constexpr int kMostRepeats = 8;
constexpr float kRepeatGain = 0.70794578f;
} // namespace

CodecChannel::CodecChannel(const CodecSettings& codec, Concealment concealment, double sampleRate, PacketLoss& loss)
    : m_codec(makeSpeechCodec(codec)), m_concealment(concealment), m_loss(loss), m_rate(sampleRate),
      m_down(sampleRate, m_codec->sampleRate()), m_up(m_codec->sampleRate(), sampleRate)
{
    const auto frame = static_cast<std::size_t>(m_codec->frameSamples());
    m_frameIn.resize(frame);
    m_frameOut.resize(frame);
    m_lastFrame.assign(frame, 0);
    m_packet.resize(SpeechCodec::kMostPacketBytes);
    // The codec's delay is taken out at the output's rate, where a fraction of a codec sample
    // is a whole number of samples or nearly.
    m_delayToSkip = static_cast<std::size_t>(std::lround(m_codec->delaySamples() * sampleRate / m_codec->sampleRate()));
}

void CodecChannel::process(const float* in, std::size_t count, std::size_t stride, std::vector<float>& out)
{
    m_input.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        m_input[i] = finiteInRange(in[i * stride]);
    const std::size_t before = m_native.size();
    m_down.process(m_input.data(), count, m_native);
    m_nativeIn += m_native.size() - before;
    codeFrames(false, out);
}

void CodecChannel::reserve(std::size_t count)
{
    // A call's input at the codec's rate (up to six times the line's, 48 kHz against 8 kHz,
    // or a sixth), a frame waiting, and what the resamplers held back.
    const double up = static_cast<double>(m_codec->sampleRate()) / m_rate;
    const auto frame = static_cast<std::size_t>(m_codec->frameSamples());
    const std::size_t native = static_cast<std::size_t>(std::ceil(count * up)) + 2 * frame + m_down.mostHeldBack();
    const std::size_t line = count + static_cast<std::size_t>(std::ceil(2 * frame / up)) + m_up.mostHeldBack();
    m_input.reserve(count);
    m_native.reserve(native);
    m_decoded.reserve(native);
    m_output.reserve(line);
    m_down.reserve(count);
    m_up.reserve(native);
}

void CodecChannel::finish(std::vector<float>& out)
{
    const std::size_t before = m_native.size();
    m_down.finish(m_native);
    m_nativeIn += m_native.size() - before;
    codeFrames(true, out);
}

void CodecChannel::codeFrames(bool finishing, std::vector<float>& out)
{
    const auto frame = static_cast<std::uint64_t>(m_codec->frameSamples());
    if (finishing)
    {
        // Silence after the end: the last frame completed, and enough more for the codec's
        // delay to bring out every input sample.
        const auto toCode = m_nativeIn + static_cast<std::uint64_t>(std::ceil(m_codec->delaySamples()));
        const std::uint64_t coded = m_frameIndex * frame + m_native.size();
        if (toCode > coded)
        {
            const std::uint64_t pad = (toCode - coded + frame - 1) / frame * frame;
            m_native.resize(m_native.size() + static_cast<std::size_t>(pad), 0.f);
        }
        const std::uint64_t partial = m_native.size() % frame;
        if (partial != 0)
            m_native.resize(m_native.size() + static_cast<std::size_t>(frame - partial), 0.f);
    }
    std::size_t used = 0;
    m_decoded.clear();
    while (m_native.size() - used >= frame)
    {
        for (std::size_t i = 0; i < frame; ++i)
            m_frameIn[i] = toPcm16(m_native[used + i]);
        used += frame;
        codeOneFrame();
        const std::size_t at = m_decoded.size();
        m_decoded.resize(at + m_frameOut.size());
        for (std::size_t i = 0; i < m_frameOut.size(); ++i)
            m_decoded[at + i] = fromPcm16(m_frameOut[i]);
    }
    m_native.erase(m_native.begin(), m_native.begin() + static_cast<std::ptrdiff_t>(used));

    // Back at the output's rate, without the codec's delay.
    m_output.clear();
    m_up.process(m_decoded.data(), m_decoded.size(), m_output);
    if (finishing)
        m_up.finish(m_output);
    const std::size_t skip = std::min(m_delayToSkip, m_output.size());
    m_delayToSkip -= skip;
    out.insert(out.end(), m_output.begin() + static_cast<std::ptrdiff_t>(skip), m_output.end());
}

void CodecChannel::codeOneFrame()
{
    // The sender encodes every frame; the network may lose it, or DTX may not send it.
    const std::size_t bytes = m_codec->encode(m_frameIn.data(), m_packet.data());
    const bool lost = m_loss.lost(m_frameIndex++);
    if (lost)
        ++m_framesLost;
    if (!lost && bytes > 0)
    {
        m_codec->decode(m_packet.data(), bytes, m_frameOut.data());
        m_lastFrame = m_frameOut;
        m_repeats = 0;
        return;
    }
    const bool codecConceals = m_codec->conceals() && (m_concealment == Concealment::Codec || bytes == 0);
    if (codecConceals)
    {
        m_codec->decodeMissing(m_frameOut.data());
        m_lastFrame = m_frameOut;
        return;
    }
    if (m_concealment == Concealment::Silence || m_repeats >= kMostRepeats)
    {
        std::fill(m_frameOut.begin(), m_frameOut.end(), std::int16_t{0});
        return;
    }
    ++m_repeats;
    const float gain = std::pow(kRepeatGain, static_cast<float>(m_repeats));
    for (std::size_t i = 0; i < m_frameOut.size(); ++i)
        m_frameOut[i] = static_cast<std::int16_t>(std::lround(m_lastFrame[i] * gain));
}

} // namespace transmission
