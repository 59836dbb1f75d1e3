// --codec, --loss and --radio: what follows the effect, over a preset's "transmission".
#pragma once

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
};

void addTransmissionOptions(CLI::App* command, TransmissionOptions& options);

// The preset's transmission (inactive without one), then what the options change. Throws
// UsageError naming what is available, before anything renders.
transmission::TransmissionSettings transmissionFrom(transmission::TransmissionSettings settings,
                                                    const TransmissionOptions& options);
