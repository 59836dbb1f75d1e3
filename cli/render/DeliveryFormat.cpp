#include "cli/render/DeliveryFormat.h"

#include "cli/render/Resampling.h"
#include "cli/settings/UsageError.h"

#include <algorithm>

DeliveryInput::DeliveryInput(Reader read, std::uint32_t channels, std::uint32_t sampleRate, const DeliveryFormat& format)
    : m_source(std::move(read)), m_inputChannels(channels), m_inputRate(sampleRate),
      m_channels(format.channels == 0 ? channels : format.channels),
      m_sampleRate(format.sampleRate == 0 ? sampleRate : format.sampleRate)
{
    if (m_channels != channels && m_channels != 1)
        throw UsageError("--channels folds to 1 channel; the input has " + std::to_string(channels));
    m_read = m_source;
    if (m_channels != channels)
        m_read = [this](float* into, std::uint32_t frames) { return readFolded(into, frames); };
    if (m_sampleRate != sampleRate)
        m_resampler = std::make_unique<ResamplingReader>(m_read, m_channels, sampleRate, m_sampleRate);
}

DeliveryInput::~DeliveryInput() = default;

std::uint32_t DeliveryInput::readFolded(float* mono, std::uint32_t frames)
{
    m_wide.resize(static_cast<std::size_t>(frames) * m_inputChannels);
    const std::uint32_t n = m_source(m_wide.data(), frames);
    // The mean of the channels: a line recorded the same on both sides keeps its level.
    const float scale = 1.0f / static_cast<float>(m_inputChannels);
    for (std::uint32_t f = 0; f < n; ++f)
    {
        float sum = 0.f;
        for (std::uint32_t c = 0; c < m_inputChannels; ++c)
            sum += m_wide[static_cast<std::size_t>(f) * m_inputChannels + c];
        mono[f] = sum * scale;
    }
    return n;
}

std::uint32_t DeliveryInput::read(float* interleaved, std::uint32_t frames)
{
    return m_resampler ? m_resampler->read(interleaved, frames) : m_read(interleaved, frames);
}

std::uint64_t DeliveryInput::frames(std::uint64_t inputFrames) const
{
    return m_resampler ? ResamplingReader::outputFrames(inputFrames, m_inputRate, m_sampleRate) : inputFrames;
}
