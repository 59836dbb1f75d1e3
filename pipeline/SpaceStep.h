// Where the listener stands, as the last step of the effect run: the line (the effect's
// output, after the transmission) convolved with a space's impulse response and mixed with
// the dry line. Frames come out aligned with those that went in; finish() hands on the rest
// and the space's decay.
//
// Builds without spaces (the Windows tool) link SpaceUnavailable.cpp instead, which refuses
// active settings.
#pragma once

#include "pipeline/SpaceReport.h"
#include "pipeline/StreamStep.h"
#include "space/SpaceSettings.h"

#include <cstdint>
#include <memory>

namespace pipeline
{
class SpaceStep : public StreamStep
{
public:
    // Null when the settings name no space. Throws space::SpaceError for a space or impulse
    // response file that cannot be used, or when this build has no spaces.
    static std::unique_ptr<SpaceStep> make(const space::SpaceSettings& settings, std::uint32_t sampleRate,
                                           std::uint32_t channels);

    virtual SpaceReport report() const = 0;
};
} // namespace pipeline
