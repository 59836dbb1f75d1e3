// The lo-fi stage's per-sample work for up to four channels in lanes: gathered from the
// channels' state, run frame by frame, and put back.
#pragma once

#include "engine/simd/Lanes.h"
#include "engine/stages/LoFiStage.h"

#include <cmath>

template <int L>
class LoFiKernel
{
public:
    using Channel = LoFiStage::Channel;

    LoFiKernel(LoFiStage& stage, unsigned first)
    {
        float down[4] = {1.f, 1.f, 1.f, 1.f}, up[4] = {1.f, 1.f, 1.f, 1.f};
        for (int l = 0; l < L; ++l)
        {
            m_ch[l] = &stage.memory[first + l];
            m_bands[l] = &m_ch[l]->bandPass;
            // Scaling by powers of two is exact, so rounding the scaled sample gives the
            // integer grid of the reduced bit depth.
            down[l] = std::ldexp(1.f, -m_ch[l]->shift);
            up[l] = std::ldexp(1.f, m_ch[l]->shift);
        }
        m_band.gather(m_bands);
        m_scaleDown = F4::load(down);
        m_scaleUp = F4::load(up);
        m_holdFactor = gatherField(m_ch, &Channel::holdFactor);
        m_outputGain = gatherField(m_ch, &Channel::outputGain);
        m_held = gatherField(m_ch, &Channel::held);
        m_counter = gatherField(m_ch, &Channel::holdCounter);
    }

    F4 tick(F4 x)
    {
        const F4 fullScale(8388607.f), lsb(1.192093e-7f), one(1.f);
        const F4 q = roundHalfAway(x * fullScale * m_scaleDown) * m_scaleUp * lsb;
        // A new value is taken once the hold count has run down, then held.
        const M4 holding = m_counter > one;
        m_held = select(holding, m_held, q);
        m_counter = select(holding, m_counter - one, m_holdFactor);
        return m_band.tick(m_held) * m_outputGain;
    }

    void finish() const
    {
        m_band.scatter(m_bands);
        scatterField(m_ch, &Channel::held, m_held);
        scatterField(m_ch, &Channel::holdCounter, m_counter);
    }

private:
    Channel* m_ch[L];
    BiquadSection* m_bands[L];
    BiquadLanes m_band;
    F4 m_scaleDown, m_scaleUp, m_holdFactor, m_outputGain, m_held, m_counter;
};
