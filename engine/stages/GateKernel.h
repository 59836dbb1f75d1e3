// The gate's per-sample work for up to four channels in lanes: gathered from the
// channels' state, run frame by frame, and put back.
#pragma once

#include "engine/simd/Lanes.h"
#include "engine/stages/GateStage.h"

template <int L>
class GateKernel
{
public:
    using Channel = GateStage::Channel;

    GateKernel(GateStage& stage, unsigned first)
    {
        for (int l = 0; l < L; ++l)
            m_ch[l] = &stage.memory[first + l];
        m_threshold = abs(gatherField(m_ch, &Channel::threshold));
        m_range = gatherField(m_ch, &Channel::rangeGain);
        m_open = gatherField(m_ch, &Channel::openGain);
        m_holdLength = gatherField(m_ch, &Channel::holdLength);
        m_attack = gatherField(m_ch, &Channel::attackCoef);
        m_release = gatherField(m_ch, &Channel::releaseCoef);
        m_counter = gatherField(m_ch, &Channel::holdCounter);
        m_gain = gatherField(m_ch, &Channel::gain);
    }

    F4 tick(F4 x)
    {
        const F4 zero(0.f), one(1.f);
        // Below the threshold the gate closes to the range gain once the hold has run out.
        const M4 closed = m_threshold > abs(x);
        F4 target = select(closed, m_range, m_open);
        m_counter = max(select(closed, m_counter, m_holdLength) - one, zero);
        target = select(m_counter > zero, m_open, target);

        const F4 c = select(target > m_gain, m_attack, m_release);
        m_gain = m_gain + c * (target - m_gain);
        m_minGain = min(m_gain, m_minGain);
        return m_gain * x;
    }

    void finish() const
    {
        scatterField(m_ch, &Channel::holdCounter, m_counter);
        scatterField(m_ch, &Channel::gain, m_gain);
        scatterField(m_ch, &Channel::minGain, m_minGain);
    }

private:
    Channel* m_ch[L];
    F4 m_threshold, m_range, m_open, m_holdLength, m_attack, m_release;
    F4 m_counter, m_gain;
    F4 m_minGain{1.f};
};
