#include "pipeline/TransmissionStep.h"

#include "transmission/RadioLink.h"
#include "transmission/Transmission.h"

namespace pipeline
{
namespace
{
class Transmitted final : public TransmissionStep
{
public:
    Transmitted(const transmission::TransmissionSettings& settings, std::uint32_t sampleRate, std::uint32_t channels,
                std::uint64_t seed)
        : m_settings(settings), m_sampleRate(sampleRate), m_line(settings, sampleRate, channels, seed)
    {
    }

    void process(const float* interleaved, std::uint32_t frames, std::vector<float>& out) override
    {
        m_line.process(interleaved, frames, out);
    }

    void finish(std::vector<float>& out) override { m_line.finish(out); }

    std::size_t mostFramesHeldBack() const override
    {
        return transmission::Transmission::mostFramesHeldBack(m_settings.codec, m_sampleRate);
    }

    TransmissionReport report() const override
    {
        TransmissionReport r;
        r.settings = transmission::summaryText(m_settings);
        r.lossy = m_settings.loss.active();
        r.framesSent = m_line.framesSent();
        r.framesLost = m_line.framesLost();
        if (const auto* events = m_line.keyEvents())
            for (const transmission::KeyEvent& e : *events)
                r.overs += e.keyed ? 1 : 0;
        return r;
    }

private:
    transmission::TransmissionSettings m_settings;
    std::uint32_t m_sampleRate;
    transmission::Transmission m_line;
};
} // namespace

std::unique_ptr<TransmissionStep> TransmissionStep::make(const transmission::TransmissionSettings& settings,
                                                         std::uint32_t sampleRate, std::uint32_t channels,
                                                         std::uint64_t seed)
{
    if (!settings.active())
        return nullptr;
    return std::make_unique<Transmitted>(settings, sampleRate, channels, seed);
}
} // namespace pipeline
