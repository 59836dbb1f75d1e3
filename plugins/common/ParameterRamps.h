// Continuous parameters moved along a ramp, as a sample-accurate host moves them. A DAW hands
// a wrapper each automated value once per buffer; set at once, a device retune or a filter
// sweep steps audibly at every buffer. So a float value that moves is taken as where the
// parameter arrives at the end of the buffer: the buffer is played in sub-blocks of at most
// kStepFrames, and before each the value takes another equal step from where the previous
// buffer left it. Switches and list entries change at once. Fixed storage: nothing here
// allocates.
#pragma once

#include "params/ParameterTable.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace plugins
{
class ParameterRamps
{
public:
    static constexpr std::uint32_t kStepFrames = 32;

    // Every value as the effect now holds it (a whole block was sent): nothing moves.
    void reset(const std::array<float, kParameterCount>& values);

    // A new value for a parameter (host-order index). True when it is taken care of here: a
    // float moving between finite values once the values are known ramps (or stays, when
    // the effect already holds it). False when it is to be sent at once; it is then held as
    // the effect's value.
    bool rampTo(std::size_t index, float value);

    // A value sent at once: held as the effect's, any ramp of it dropped.
    void hold(std::size_t index, float value);

    bool moving() const { return m_movingCount > 0; }

    // The sub-blocks a buffer of this many frames is played in while values move.
    static std::uint32_t stepsFor(std::uint32_t frames) { return (frames + kStepFrames - 1) / kStepFrames; }

    // Calls f(index, value) for every moving parameter, with its value for sub-block `step`
    // of `steps` (the last step lands exactly on the new value).
    template <class F>
    void forEachStep(std::uint32_t step, std::uint32_t steps, F&& f) const
    {
        for (std::size_t i = 0; i < kParameterCount; ++i)
            if (m_moving[i])
                f(i, valueAt(i, step, steps));
    }

    // Every ramp has arrived: the new values are the effect's.
    void arrive();

private:
    void setMoving(std::size_t index, bool moving);
    float valueAt(std::size_t index, std::uint32_t step, std::uint32_t steps) const;

    std::array<float, kParameterCount> m_from{}, m_to{};
    std::array<bool, kParameterCount> m_moving{};
    std::size_t m_movingCount = 0;
    bool m_known = false;
};
} // namespace plugins
