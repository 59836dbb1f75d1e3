// Crumlet Line's parameters: the transmission's settings as a DAW sees them (a codec and its
// rate, packet loss, the radio, the seed) and the space heard after it (a generated space, its
// mix, the distance), in the units and ranges the settings texts take.
// The VST3 and LV2 wrappers both follow this one table; its ids are the VST3 parameter ids
// and the LV2 port symbols, so they stay as they are once released.
#pragma once

#include "transmission/TransmissionSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plugins
{

enum class LineParameterKind
{
    Choice, // an index into `choices`
    Switch, // 0 or 1
    Float,
    Integer,
};

struct LineParameter
{
    const char* id;
    const char* name;
    LineParameterKind kind;
    float minValue, maxValue, defaultValue;
    const char* unit;
    std::vector<std::string> choices; // a Choice's texts
    // A DAW may automate it: the line playing follows it. The others are set, not moved: a
    // change makes a new line (and a codec change may change the latency).
    bool automatable;
};

enum LineParameterIndex : std::size_t
{
    kLineCodec,
    kLineAmrRate,
    kLineAmrWbRate,
    kLineOpusRate,
    kLineOpusBandwidth,
    kLineCodec2Rate,
    kLineG726Rate,
    kLineDtx,
    kLineLoss,
    kLineBurst,
    kLineConcealment,
    kLineRadio,
    kLineKeying,
    kLineStatic,
    kLineColour,
    kLineSquelch,
    kLineClick,
    kLineClickLevel,
    kLineThreshold,
    kLineHold,
    kLineCarrier,
    kLineSeed,
    kLineSpace,
    kLineMix,
    kLineDistance,
    kLineParameterCount
};

const std::array<LineParameter, kLineParameterCount>& lineParameters();

using LineValues = std::array<float, kLineParameterCount>;

LineValues defaultLineValues();

// A value brought into its parameter's range (a choice or switch to a whole number); a NaN
// gives the default.
float clampedLineValue(std::size_t index, float value);

// Where the listener stands: a generated space (by its place in space::spaceCatalogue()), the
// listener's distance from the source and the space's share in what is heard.
struct LineSpaceSetup
{
    int room = -1; // none
    std::optional<double> distance; // metres; the room's own when absent
    double mixPercent = 100.0;

    bool active() const { return room >= 0; }
};

struct LineSetup
{
    transmission::TransmissionSettings settings;
    std::uint64_t seed = 0;
    LineSpaceSetup space;
};

// The settings the values give. A codec this build lacks gives none; packet loss without a
// codec is off; a loss too high for its bursts is brought down to the highest they allow. A
// distance (0: the room's own) is taken to the nearest 10 cm and brought within what the room
// fits; without a space, the distance and mix are left at their defaults.
LineSetup lineSetupOf(const LineValues& values);

} // namespace plugins
