#include "transmission/Transmission.h"

#include "transmission/CodecChannel.h"
#include "transmission/PacketLoss.h"
#include "transmission/RadioLink.h"
#include "transmission/SampleRange.h"
#include "transmission/SeededRandom.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <stdexcept>
#include <tuple>

namespace transmission
{

Transmission::Transmission(const TransmissionSettings& settings, double sampleRate, unsigned channels,
                           std::uint64_t seed)
    : m_settings(settings), m_channels(channels), m_sampleRate(sampleRate)
{
    if (channels == 0 || !(sampleRate > 0))
        throw std::invalid_argument("a transmission needs at least one channel and a sample rate");
    if (settings.loss.active() && settings.codec.kind == CodecKind::None)
        throw SettingsError("packet loss needs a codec: the frames lost are the codec's (give --codec too)");
    m_loss = std::make_unique<PacketLoss>(settings.loss, derivedSeed(seed, 1));
    if (settings.codec.kind != CodecKind::None)
        for (unsigned c = 0; c < channels; ++c)
            m_codecs.push_back(
                std::make_unique<CodecChannel>(settings.codec, settings.loss.concealment, sampleRate, *m_loss));
    if (settings.radio.enabled)
        m_radio = std::make_unique<RadioLink>(settings.radio, sampleRate, channels, seed);
    m_pending.resize(channels);
}

Transmission::~Transmission() = default;

void Transmission::process(const float* interleaved, std::size_t frames, std::vector<float>& out)
{
    if (m_finished)
        throw std::logic_error("the transmission has finished");
    for (std::size_t i = 0; i < frames; ++i)
    {
        float peak = 0.f;
        for (unsigned c = 0; c < m_channels; ++c)
            peak = std::max(peak, std::fabs(finiteInRange(interleaved[i * m_channels + c])));
        m_levels.push_back(peak);
    }
    m_framesIn += frames;
    for (unsigned c = 0; c < m_channels; ++c)
    {
        if (m_codecs.empty())
            for (std::size_t i = 0; i < frames; ++i)
                m_pending[c].push_back(interleaved[i * m_channels + c]);
        else
            m_codecs[c]->process(interleaved + c, frames, m_channels, m_pending[c]);
    }
    // Every channel has coded the same frames: their losses are not asked about again.
    if (!m_codecs.empty())
        m_loss->forgetBefore(m_codecs.front()->framesCoded());
    emitReady(out, false);
}

void Transmission::setLossAndRadio(const LossSettings& loss, const RadioSettings& radio)
{
    if (!m_codecs.empty())
    {
        m_settings.loss = loss;
        m_loss->setSettings(loss);
        for (auto& codec : m_codecs)
            codec->setConcealment(loss.concealment);
    }
    if (m_radio)
        m_radio->setLevelsAndTimes(radio);
}

std::size_t Transmission::measureHeldBack(const CodecSettings& codec, double sampleRate)
{
    TransmissionSettings settings;
    settings.codec = codec;
    Transmission line(settings, sampleRate, 1, 0);
    // Sample by sample, what is held back repeats with the codec's frames against the ratio of
    // the rates, within a second at common rates; libsoxr's blocks repeat only after many
    // seconds and creep up a little over minutes, which a margin covers.
    const bool exact = line.m_codecs.front()->sampleBySample();
    const double seconds = exact ? 2.0 : 8.0;
    const auto total = static_cast<std::size_t>(seconds * sampleRate);
    const float silence = 0.f;
    std::vector<float> out;
    out.reserve(1 << 16);
    std::size_t in = 0, emitted = 0, most = 0;
    while (in < total)
    {
        out.clear();
        line.process(&silence, 1, out);
        ++in;
        emitted += out.size();
        most = std::max(most, in - emitted);
    }
    return exact ? most : most + most / 16 + 64;
}

std::size_t Transmission::mostFramesHeldBack(const CodecSettings& codec, double sampleRate)
{
    if (codec.kind == CodecKind::None)
        return 0;
    static std::mutex lock;
    static std::map<std::tuple<int, int, bool, int, double>, std::size_t> measured;
    const auto key = std::make_tuple(static_cast<int>(codec.kind), codec.bitRate, codec.discontinuous,
                                     static_cast<int>(codec.bandwidth), sampleRate);
    {
        const std::lock_guard<std::mutex> hold(lock);
        const auto found = measured.find(key);
        if (found != measured.end())
            return found->second;
    }
    const std::size_t most = measureHeldBack(codec, sampleRate);
    const std::lock_guard<std::mutex> hold(lock);
    measured.emplace(key, most);
    return most;
}

void Transmission::prepareForRealTime(std::size_t framesPerCall)
{
    // What is held back, and a call's frames on top.
    const std::size_t held = framesPerCall + mostFramesHeldBack(m_settings.codec, m_sampleRate) + 1;
    for (auto& codec : m_codecs)
        codec->reserve(framesPerCall);
    for (auto& pending : m_pending)
        pending.reserve(held);
    m_levels.reserve(held);
    m_ready.reserve(held * m_channels);
    if (m_radio)
        m_radio->setKeepsEvents(false);
}

void Transmission::finish(std::vector<float>& out)
{
    if (m_finished)
        return;
    for (unsigned c = 0; c < m_codecs.size(); ++c)
        m_codecs[c]->finish(m_pending[c]);
    emitReady(out, true);
    if (m_radio)
        m_radio->finish(out);
    m_finished = true;
}

void Transmission::emitReady(std::vector<float>& out, bool finishing)
{
    std::size_t ready = m_levels.size();
    for (const auto& pending : m_pending)
        ready = std::min(ready, pending.size());
    if (finishing)
    {
        // Every input frame comes out; a resampler that rounded one short is made up with silence.
        ready = static_cast<std::size_t>(m_framesIn - m_framesOut);
        for (auto& pending : m_pending)
            pending.resize(std::max(pending.size(), ready), 0.f);
    }
    m_ready.resize(ready * m_channels);
    for (unsigned c = 0; c < m_channels; ++c)
    {
        for (std::size_t i = 0; i < ready; ++i)
            m_ready[i * m_channels + c] = m_pending[c][i];
        m_pending[c].erase(m_pending[c].begin(), m_pending[c].begin() + static_cast<std::ptrdiff_t>(ready));
    }
    if (m_radio)
        m_radio->process(m_ready.data(), m_levels.data(), ready);
    m_levels.erase(m_levels.begin(), m_levels.begin() + static_cast<std::ptrdiff_t>(ready));
    m_framesOut += ready;
    out.insert(out.end(), m_ready.begin(), m_ready.end());
}

std::uint64_t Transmission::framesSent() const { return m_codecs.empty() ? 0 : m_codecs.front()->framesCoded(); }

std::uint64_t Transmission::framesLost() const { return m_codecs.empty() ? 0 : m_codecs.front()->framesLost(); }

const std::vector<KeyEvent>* Transmission::keyEvents() const { return m_radio ? &m_radio->events() : nullptr; }

} // namespace transmission
