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

template <int L>
class LoFiFrames
{
public:
    explicit LoFiFrames(const LaneGroup<LoFiChannel, L>& lanes) : m_lanes(lanes), m_band(lanes.section(&C::bandPass))
    {
        for (int l = 0; l < L; ++l)
        {
            const std::int32_t shift = lanes.ch[l]->shift;
            m_grids[l] = LoFiGrid::forShifts({shift, shift, shift, shift});
        }
        m_holdFactor = lanes.gather(&C::holdFactor)[0];
        const auto [held, counter] = lanes.gather(&C::held, &C::holdCounter);
        m_held = held;
        m_counter = counter;
    }

    // Puts frames [from, from + count) of every lane's channel on its grid, in place, four
    // frames at a time, ahead of next(): the grid does not depend on the frames before, so
    // time can fill the lanes.
    void prepare(unsigned from, unsigned count) const
    {
        for (int l = 0; l < L; ++l)
        {
            float* x = m_lanes.io.p[l] + from;
            const LoFiGrid& onGrid = m_grids[l];
            unsigned i = 0;
            for (; i + 4 <= count; i += 4)
                onGrid(F4::load(x + i)).store(x + i);
            if (i < count)
            {
                alignas(16) float rest[4] = {0.f, 0.f, 0.f, 0.f};
                for (unsigned j = i; j < count; ++j)
                    rest[j - i] = x[j];
                onGrid(F4::load(rest)).store(rest);
                for (unsigned j = i; j < count; ++j)
                    x[j] = rest[j - i];
            }
        }
    }

    // The hold and the band-pass, from a sample already on the grid.
    F4 next(F4 q)
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
    LoFiGrid m_grids[L]; // one per lane's channel, the same in all four lanes
    BiquadLanes m_band;
    F4 m_holdFactor, m_held, m_counter;
};
