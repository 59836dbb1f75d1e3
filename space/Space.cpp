#include "space/Space.h"

#include "space/ImpulseCache.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace space
{
namespace
{
std::shared_ptr<const ImpulseResponse> checked(std::shared_ptr<const ImpulseResponse> impulse, unsigned channels)
{
    if (impulse == nullptr || impulse->frames() == 0 || impulse->channels.empty() || impulse->channels.size() > 2)
        throw std::invalid_argument("a space needs an impulse response of one or two channels");
    if (!(impulse->sampleRate > 0.0))
        throw std::invalid_argument("an impulse response without a sample rate");
    if (channels == 0)
        throw std::invalid_argument("a space needs at least one channel");
    return impulse;
}

float finiteOrSilent(float x) { return std::isfinite(x) ? x : 0.f; }
} // namespace

Space::Space(const SpaceSettings& settings, double sampleRate, unsigned channels, Partitioning partitioning,
             ImpulseCache* cache)
    : Space((cache != nullptr ? *cache : ImpulseCache::shared()).impulseFor(settings, sampleRate, channels), channels,
            Blend{settings.mixPercent, settings.predelayMs}, partitioning)
{
}

Space::Space(std::shared_ptr<const ImpulseResponse> impulse, unsigned channels, const Blend& blend,
             Partitioning partitioning)
    : Space(std::move(impulse), channels, blend, firstPartitionOf(partitioning))
{
}

Space::Space(std::shared_ptr<const ImpulseResponse> impulse, unsigned channels, const Blend& blend,
             std::size_t firstPartition)
    : m_impulse(checked(std::move(impulse), channels)), m_channels(channels),
      m_wet(static_cast<float>(blend.mixPercent / 100.0)), m_dry(static_cast<float>(1.0 - blend.mixPercent / 100.0))
{
    if (!(blend.mixPercent >= 0.0 && blend.mixPercent <= 100.0) || !(blend.predelayMs >= 0.0))
        throw std::invalid_argument("a space's mix is 0 to 100 % and its predelay not negative");
    const auto& ears = m_impulse->channels;
    std::vector<const std::vector<float>*> paths;
    if (ears.size() == 2 && channels == 1)
    {
        m_meanOfEars.resize(ears[0].size());
        for (std::size_t n = 0; n < m_meanOfEars.size(); ++n)
            m_meanOfEars[n] = 0.5f * (ears[0][n] + ears[1][n]);
        paths.push_back(&m_meanOfEars);
    }
    else
        for (unsigned c = 0; c < channels; ++c)
            paths.push_back(&ears[c % ears.size()]);

    const auto offset = static_cast<std::size_t>(std::lround(blend.predelayMs * 1e-3 * m_impulse->sampleRate));
    m_tailFrames = offset + m_impulse->frames() - 1;
    m_convolver = std::make_unique<Convolver>(paths, offset, firstPartition);
    m_block.assign(m_convolver->blockFrames() * channels, 0.f);
}

Space::~Space() = default;

std::size_t Space::heldBackFrames() const { return m_convolver->blockFrames() - 1; }

void Space::process(const float* interleaved, std::size_t frames, std::vector<float>& out)
{
    if (m_finished)
        throw std::logic_error("a space was fed after it finished");
    const std::size_t block = m_convolver->blockFrames();
    while (frames > 0)
    {
        const std::size_t n = std::min(frames, block - m_filled);
        for (unsigned c = 0; c < m_channels; ++c)
        {
            float* input = m_convolver->input(c) + m_filled;
            for (std::size_t i = 0; i < n; ++i)
                input[i] = finiteOrSilent(interleaved[i * m_channels + c]);
            if (m_dry != 0.f)
                for (std::size_t i = 0; i < n; ++i)
                    m_block[(m_filled + i) * m_channels + c] = input[i];
        }
        m_filled += n;
        interleaved += n * m_channels;
        frames -= n;
        if (m_filled == block)
            runBlock(out, block);
    }
}

void Space::finish(std::vector<float>& out)
{
    if (m_finished)
        return;
    m_finished = true;
    const std::size_t block = m_convolver->blockFrames();
    std::size_t remaining = m_filled + m_tailFrames;
    while (remaining > 0)
    {
        for (unsigned c = 0; c < m_channels; ++c)
            std::fill(m_convolver->input(c) + m_filled, m_convolver->input(c) + block, 0.f);
        std::fill(m_block.begin() + static_cast<std::ptrdiff_t>(m_filled * m_channels), m_block.end(), 0.f);
        const std::size_t n = std::min(block, remaining);
        runBlock(out, n);
        remaining -= n;
    }
}

void Space::runBlock(std::vector<float>& out, std::size_t framesOut)
{
    if (!m_convolver->run(m_waiting))
        ++m_lateBlocks;
    const std::size_t start = out.size();
    out.resize(start + framesOut * m_channels);
    float* o = out.data() + start;
    for (unsigned c = 0; c < m_channels; ++c)
    {
        const float* wet = m_convolver->output(c);
        if (m_dry == 0.f)
            for (std::size_t i = 0; i < framesOut; ++i)
                o[i * m_channels + c] = wet[i];
        else
            for (std::size_t i = 0; i < framesOut; ++i)
                o[i * m_channels + c] = m_wet * wet[i] + m_dry * m_block[i * m_channels + c];
    }
    m_filled = 0;
}

} // namespace space
