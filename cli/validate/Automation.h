// Random parameter automation as the host drives it: single-parameter updates by
// identifier, or whole parameter blocks, with values at, inside and outside the ranges.
// Keeps the values the effect should now hold, brought into range as the effect does.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "quarl/PluginDescription.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class Automation
{
public:
    enum class Route
    {
        SingleUpdates,
        WholeBlocks,
    };
    enum class Values
    {
        InRange,  // at the ends of the ranges and inside them
        AnyValue, // also outside them, NaN, infinities, and identifiers outside the table
        Garbage,  // whole blocks of random bytes
    };

    Automation(const quarl::PluginDescription& description, std::uint64_t seed, Route route, Values values);

    // Changes one property (or, for a whole block, one value in the block) and hands it to
    // the parameter object. False when the object answered other than it should (1 for a
    // known identifier or a whole block, 31 for an unknown identifier).
    bool step(ZQ::Quarl::IEffectParams& params);

    // Gives every property a new value by the same rules, one after the other.
    bool randomiseAll(ZQ::Quarl::IEffectParams& params);

    // Sets a value outright (in the property's units; a switch as 0 or 1), and sends it.
    bool set(ZQ::Quarl::IEffectParams& params, const std::string& name, double value);

    // Every value at once as a parameter block, as the effect now holds them.
    std::vector<std::uint8_t> block() const;

    // The value the effect holds for a property now: in range, NaN replaced by the default,
    // whole-valued properties truncated.
    double effective(const std::string& name) const;

    // What the last step sent, for reports.
    const std::string& lastChange() const { return m_lastChange; }

private:
    bool sendGarbageBlock(ZQ::Quarl::IEffectParams& params);
    double pickValue(const quarl::PropertyDescription& property);
    bool send(ZQ::Quarl::IEffectParams& params, std::size_t index, double raw);
    static double bringIntoRange(const quarl::PropertyDescription& property, double raw);

    const quarl::PluginDescription& m_description;
    std::mt19937_64 m_random;
    Route m_route;
    Values m_values;
    std::vector<double> m_raw;       // as sent
    std::vector<double> m_effective; // as the effect holds them
    std::string m_lastChange;
};
