// Lo-fi on up to four channels' lanes: the bit-depth grid over a run of frames, then the
// sample hold and the band-pass frame by frame, their state held in registers from the
// first frame to finish().
#pragma once

#include "engine/stages/LoFiStage.h"
#include "engine/stages/StageLanes.h"

#include <cmath>

// The reduced bit depth's grid: scaling by powers of two is exact, so rounding the scaled
// sample gives the integer grid of the reduced depth.
struct LoFiGrid
{
    F4 scaleDown, scaleUp;

    // Lane l drops shifts[l] bits.
    static LoFiGrid forShifts(const int (&shifts)[4])
    {
        alignas(16) float down[4], up[4];
        for (int l = 0; l < 4; ++l)
        {
            down[l] = std::ldexp(1.f, -shifts[l]);
            up[l] = std::ldexp(1.f, shifts[l]);
        }
        return {F4::load(down), F4::load(up)};
    }

    F4 operator()(F4 v) const
    {
        const F4 fullScale(8388607.f), lsb(1.192093e-7f);
        return roundHalfAway(v * fullScale * scaleDown) * scaleUp * lsb;
    }
};

// Every sample of one channel on the reduced bit depth's grid, in place, four samples at a
// time: the grid does not depend on the samples before, so time can fill the lanes.
inline void quantise(float* x, unsigned frames, std::int32_t shift)
{
    const LoFiGrid onGrid = LoFiGrid::forShifts({shift, shift, shift, shift});
    unsigned i = 0;
    for (; i + 4 <= frames; i += 4)
        onGrid(F4::load(x + i)).store(x + i);
    if (i < frames)
    {
        alignas(16) float rest[4] = {0.f, 0.f, 0.f, 0.f};
        for (unsigned j = i; j < frames; ++j)
            rest[j - i] = x[j];
        onGrid(F4::load(rest)).store(rest);
        for (unsigned j = i; j < frames; ++j)
            x[j] = rest[j - i];
    }
}

// Frames [from, from + count) of each lane's channel on its grid, in place.
template <int L>
void quantiseLanes(const LaneGroup<LoFiChannel, L>& lanes, unsigned from, unsigned count)
{
    for (int l = 0; l < L; ++l)
        quantise(lanes.io.p[l] + from, count, lanes.ch[l]->shift);
}

template <int L>
class LoFiFrames
{
public:
    explicit LoFiFrames(const LaneGroup<LoFiChannel, L>& lanes) : m_lanes(lanes), m_band(lanes.section(&C::bandPass))
    {
        m_holdFactor = lanes.gather(&C::holdFactor)[0];
        const auto [held, counter] = lanes.gather(&C::held, &C::holdCounter);
        m_held = held;
        m_counter = counter;
    }

    // The hold and the band-pass, from a sample already on the grid.
    F4 nextOnGrid(F4 q)
    {
        const F4 one(1.f);
        // A new value is taken once the hold count has run down, then held.
        const M4 holding = m_counter > one;
        m_held = select(holding, m_held, q);
        m_counter = select(holding, m_counter - one, m_holdFactor);
        return m_band.tick(m_held);
    }

    void finish() const
    {
        m_lanes.scatterSection(&C::bandPass, m_band);
        m_lanes.scatter(&C::held, m_held, &C::holdCounter, m_counter);
    }

private:
    using C = LoFiChannel;
    const LaneGroup<LoFiChannel, L>& m_lanes;
    BiquadLanes m_band;
    F4 m_holdFactor, m_held, m_counter;
};
