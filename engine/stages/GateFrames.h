// The gate frame by frame on up to four channels' lanes, its state held in registers
// from the first frame to finish(): the gate stage's own loop, and the loop it shares
// with the stage after it (engine/stages/StagePairs.h).
#pragma once

#include "engine/stages/GateStage.h"
#include "engine/stages/StageLanes.h"

template <int L>
class GateFrames
{
public:
    explicit GateFrames(const LaneGroup<GateChannel, L>& lanes) : m_lanes(lanes)
    {
        using C = GateChannel;
        const auto [thresholdGain, range, holdLength, attack, release] =
            lanes.gather(&C::threshold, &C::rangeGain, &C::holdLength, &C::attackCoef, &C::releaseCoef);
        m_threshold = abs(thresholdGain);
        m_range = range;
        m_holdLength = holdLength;
        m_attack = attack;
        m_release = release;
        const auto [counter, g] = lanes.gather(&C::holdCounter, &C::gain);
        m_counter = counter;
        m_gain = g;
    }

    // Nothing of the gate can be done ahead of the frames.
    void prepare(unsigned /*from*/, unsigned /*count*/) const {}

    F4 next(F4 x)
    {
        const F4 zero(0.f), one(1.f);
        // Below the threshold the gate closes to the range gain once the hold has run out.
        const M4 closed = m_threshold > abs(x);
        F4 target = select(closed, m_range, one);
        m_counter = max(select(closed, m_counter, m_holdLength) - one, zero);
        target = select(m_counter > zero, one, target);
        followTarget(m_gain, m_minGain, target, m_attack, m_release);
        return m_gain * x;
    }

    void finish() const
    {
        using C = GateChannel;
        m_lanes.scatter(&C::holdCounter, m_counter, &C::gain, m_gain, &C::minGain, m_minGain);
    }

private:
    const LaneGroup<GateChannel, L>& m_lanes;
    F4 m_threshold, m_range, m_holdLength, m_attack, m_release;
    F4 m_counter, m_gain;
    F4 m_minGain = F4(1.f);
};
