#include "engine/stages/SimStage.h"

#include "engine/filters/FilterDesign.h"

#include <algorithm>
#include <cmath>

double simLevelToGain(double level)
{
    return level < 0.0 ? std::pow(10.0, level * 0.05) : level;
}

std::int32_t SimTailLength(const BiquadSection (&sections)[kSimSectionCount])
{
    double slowest = 0.0;
    for (const auto& s : sections)
        slowest = std::max(slowest, filters::SectionDecay(s.a1, s.a2));
    return static_cast<std::int32_t>(slowest * 6.91);
}

std::int32_t SimStage::setup(unsigned fs, const SimParams& p, bool bypass)
{
    BiquadCoefs designed[kSimSectionCount];
    SimModelSections(fs, p.type, static_cast<double>(p.tuning) * 0.01, designed);

    Channel loaded;
    for (int k = 0; k < kSimSectionCount; ++k)
        loaded.sections[k].load(designed[k]);
    for (auto& ch : memory)
        for (int k = 0; k < kSimSectionCount; ++k)
            ch.sections[k].load(designed[k]);

    m_wet = bypass ? 0.f : static_cast<float>(simLevelToGain(SimModelLevel(p.type)));
    m_dry = bypass ? 1.f : 0.f;
    return SimTailLength(loaded.sections);
}

void SimStage::process(unsigned channel, float* data, unsigned frames)
{
    BiquadSection (&stored)[kSimSectionCount] = memory[channel].sections;
    BiquadSection s[kSimSectionCount];
    std::copy(std::begin(stored), std::end(stored), s);
    const float wet = m_wet, dry = m_dry;
    for (unsigned i = 0; i < frames; ++i)
    {
        const float x = data[i];
        float v = x;
        for (auto& section : s)
            v = section.tick(v);
        data[i] = v * wet + x * dry;
    }
    std::copy(std::begin(s), std::end(s), stored);
}

void SimStage::resetChannel(unsigned channel)
{
    for (auto& s : memory[channel].sections)
        s.clearMemory();
}
