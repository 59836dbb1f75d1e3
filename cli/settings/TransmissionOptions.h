// --codec, --loss, --radio and --space: what follows the effect, over a preset's "transmission".
#pragma once

#include "space/SpaceSettings.h"
#include "transmission/TransmissionSettings.h"

#include <optional>
#include <string>

namespace CLI
{
class App;
}

struct TransmissionOptions
{
    std::string codec;                // as parseCodec reads it; empty: the preset's
    std::string loss;                 // as parseLoss reads it; empty: the preset's
    std::optional<std::string> radio; // as parseRadio reads it; "--radio" alone: on
    std::string space;                // as parseSpace reads it; empty: the preset's
};

void addTransmissionOptions(CLI::App* command, TransmissionOptions& options);

// The parts the options give, read; unset where an option is not given.
struct TransmissionChoice
{
    std::optional<transmission::CodecSettings> codec;
    std::optional<transmission::LossSettings> loss;
    std::optional<transmission::RadioSettings> radio;
    std::optional<space::SpaceSettings> space;
};

// Throws UsageError naming what is available, before anything renders.
TransmissionChoice readTransmissionOptions(const TransmissionOptions& options);

// The preset's transmission (inactive without one), then what the choice changes. Throws
// UsageError for loss without a codec.
transmission::TransmissionSettings transmissionFrom(transmission::TransmissionSettings settings,
                                                    const TransmissionChoice& choice);
transmission::TransmissionSettings transmissionFrom(transmission::TransmissionSettings settings,
                                                    const TransmissionOptions& options);
// --space's text read: a generated space, or an impulse response file (relative to `folder`
// when given) that must exist. Throws UsageError before anything renders.
space::SpaceSettings readSpaceText(const std::string& text, const std::string& folder = {});

// The preset's space (none without one), unless the choice names another (or none).
space::SpaceSettings spaceFrom(const space::SpaceSettings& preset, const TransmissionChoice& choice);
