#include "plugins/common/LineSpace.h"

#include "space/ImpulseCache.h"
#include "space/Space.h"
#include "space/SpaceCatalogue.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace plugins
{
namespace
{
constexpr double kGlideSeconds = 0.02;

// The responses the process's lines use, each made once: a few dozen of the longest spaces.
space::ImpulseCache& lineImpulses()
{
    static space::ImpulseCache cache(std::size_t{64} << 20);
    return cache;
}

// The space alone (the mix is made here, so that it can glide), its first partition holding
// the largest buffer.
std::unique_ptr<space::Space> spaceFor(const LineSpaceSetup& setup, double sampleRate, unsigned channels,
                                       std::size_t maxFramesPerCall)
{
    const auto& catalogue = space::spaceCatalogue();
    if (!setup.active() || setup.room >= static_cast<int>(catalogue.size()))
        throw std::invalid_argument("a line's space is one of the catalogue's");
    space::SpaceSettings settings;
    settings.source = catalogue[static_cast<std::size_t>(setup.room)].name;
    settings.distance = setup.distance;
    return std::make_unique<space::Space>(lineImpulses().impulseFor(settings, sampleRate, channels), channels,
                                          space::Blend{}, space::firstPartitionFor(maxFramesPerCall));
}

float finiteOrSilent(float x) { return std::isfinite(x) ? x : 0.f; }
} // namespace

LineSpace::LineSpace(const LineSpaceSetup& setup, double sampleRate, unsigned channels, std::size_t maxFramesPerCall)
    : m_space(spaceFor(setup, sampleRate, channels, maxFramesPerCall)),
      m_channels(channels), m_latency(m_space->heldBackFrames()),
      m_mix(std::clamp(setup.mixPercent, 0.0, 100.0)), m_target(m_mix),
      m_glideFrames(std::max<std::size_t>(1, static_cast<std::size_t>(kGlideSeconds * sampleRate)))
{
    setGains(m_mix);
    // Held back: at most the latency before a call, and what a call adds (its frames, and up
    // to a block the convolution hands out early). The first frames out are silence.
    const std::size_t most = 2 * (m_latency + 1) + std::max<std::size_t>(maxFramesPerCall, 1);
    m_wet.reserve(most * channels);
    m_dry.reserve(most * channels);
    m_wet.assign(m_latency * channels, 0.f);
    m_dry.assign(m_latency * channels, 0.f);
}

LineSpace::~LineSpace() = default;

std::size_t LineSpace::tailFrames() const { return m_space->tailFrames(); }

void LineSpace::setWaiting(bool waiting) { m_space->setWaiting(waiting); }

std::uint64_t LineSpace::lateBlocks() const { return m_space->lateBlocks(); }

void LineSpace::setGains(double percent)
{
    // As space::Space mixes: the same factors give the same samples.
    m_wetGain = static_cast<float>(percent / 100.0);
    m_dryGain = static_cast<float>(1.0 - percent / 100.0);
}

void LineSpace::setMix(double percent)
{
    percent = std::isfinite(percent) ? std::clamp(percent, 0.0, 100.0) : m_target;
    if (percent == m_target)
        return;
    m_target = percent;
    m_step = (m_target - m_mix) / static_cast<double>(m_glideFrames);
    m_glideLeft = m_glideFrames;
}

void LineSpace::process(float* interleaved, std::size_t frames)
{
    const std::size_t samples = frames * m_channels;
    m_space->process(interleaved, frames, m_wet);
    m_dry.insert(m_dry.end(), interleaved, interleaved + samples);

    for (std::size_t i = 0; i < frames; ++i)
    {
        if (m_glideLeft > 0)
        {
            --m_glideLeft;
            m_mix = m_glideLeft == 0 ? m_target : m_mix + m_step;
            setGains(m_mix);
        }
        const float* wet = m_wet.data() + i * m_channels;
        const float* dry = m_dry.data() + i * m_channels;
        float* out = interleaved + i * m_channels;
        for (unsigned c = 0; c < m_channels; ++c)
        {
            const float o = m_dryGain == 0.f   ? wet[c]
                            : m_wetGain == 0.f ? dry[c]
                                               : m_wetGain * wet[c] + m_dryGain * dry[c];
            out[c] = finiteOrSilent(o);
        }
    }
    m_wet.erase(m_wet.begin(), m_wet.begin() + static_cast<std::ptrdiff_t>(samples));
    m_dry.erase(m_dry.begin(), m_dry.begin() + static_cast<std::ptrdiff_t>(samples));
}

} // namespace plugins
