// Every property moved while the effect plays (tests/support/late-changes.json): set after the
// first buffer, it must end where an instance that had the value from its start ends, once its
// ramp and its stage's own time constants have passed. One run for every way a value reaches
// a playing effect; each way says how it makes, plays and changes an effect.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace crumlet_test
{
// Property names and values in the property's own units (a switch 0 or 1, a list its index).
using Settings = std::vector<std::pair<std::string, float>>;

struct LateChange
{
    std::string property;
    float value; // not the default
    Settings with; // in force from the start, so that the property is heard
};

struct LateChangePlan
{
    std::uint32_t sampleRate;
    std::uint32_t bufferFrames;
    std::uint32_t buffers;        // played in all; the change comes after the first
    std::uint32_t comparedFrames; // the end compared
    float tolerance;              // the largest difference the ends may show
    float heardAbove;             // the difference each value makes to the end, at the least
    std::vector<LateChange> changes;
};

// Read once from the file (CRUMLET_LATE_CHANGES).
const LateChangePlan& lateChangePlan();

// One effect as a way in runs it: mono, at the plan's rate.
class EffectUnderTest
{
public:
    virtual ~EffectUnderTest() = default;
    // One buffer, in place.
    virtual void play(float* mono, std::uint32_t frames) = 0;
    // A property moved between buffers, as the way moves it while playing.
    virtual void set(const std::string& property, float value) = 0;
};

// Makes an effect with every property at its default but `settings`, in force from its start.
using EffectMaker = std::function<std::unique_ptr<EffectUnderTest>(const Settings& settings)>;

// The maker of an EffectUnderTest that is made from the settings.
template <typename Effect>
EffectMaker makerOf()
{
    return [](const Settings& settings) -> std::unique_ptr<EffectUnderTest> {
        return std::make_unique<Effect>(settings);
    };
}

// A line for each case whose end, changed after the first buffer, is further than the
// tolerance from the end of an instance that had the value from its start; none when every
// change arrives.
std::vector<std::string> missedLateChanges(const EffectMaker& make);

// The lines, each on a line of its own, for a failure's message.
std::string listed(const std::vector<std::string>& lines);

// A line for each case whose value does not change the end by the plan's margin (from the start
// against never): a case that would prove nothing.
std::vector<std::string> unheardChanges(const EffectMaker& make);
} // namespace crumlet_test
