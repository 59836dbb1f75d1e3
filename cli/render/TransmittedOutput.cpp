#include "cli/render/TransmittedOutput.h"

#include "transmission/RadioLink.h"

TransmittedOutput::TransmittedOutput(const transmission::TransmissionSettings& settings, std::uint32_t sampleRate,
                                     std::uint32_t channels, std::uint64_t seed, Sink sink)
    : m_settings(settings), m_channels(channels), m_sink(std::move(sink))
{
    if (settings.active())
        m_line = std::make_unique<transmission::Transmission>(settings, sampleRate, channels, seed);
}

bool TransmittedOutput::hand(const std::vector<float>& samples)
{
    return samples.empty() || m_sink(samples.data(), static_cast<std::uint32_t>(samples.size() / m_channels));
}

bool TransmittedOutput::operator()(const float* interleaved, std::uint32_t frames)
{
    if (!m_line)
        return m_sink(interleaved, frames);
    m_out.clear();
    m_line->process(interleaved, frames, m_out);
    return hand(m_out);
}

bool TransmittedOutput::finish()
{
    if (!m_line)
        return true;
    m_out.clear();
    m_line->finish(m_out);
    return hand(m_out);
}

TransmissionReport TransmittedOutput::report() const
{
    TransmissionReport r;
    if (!m_line)
        return r;
    r.settings = transmission::summaryText(m_settings);
    r.lossy = m_settings.loss.active();
    r.framesSent = m_line->framesSent();
    r.framesLost = m_line->framesLost();
    if (const auto* events = m_line->keyEvents())
        for (const transmission::KeyEvent& e : *events)
            r.overs += e.keyed ? 1 : 0;
    return r;
}
