// The transmission between the effect and the listener as a step of the effect run: codec,
// packet loss and radio from the settings, drawn from the run's seed. Frames come out aligned
// with the effect's, a codec frame or so later; finish() hands on the rest.
//
// Builds without the codecs (the Windows tool) link TransmissionUnavailable.cpp instead,
// which refuses active settings.
#pragma once

#include "pipeline/StreamStep.h"
#include "pipeline/TransmissionReport.h"
#include "transmission/TransmissionSettings.h"

#include <cstdint>
#include <memory>

namespace pipeline
{
class TransmissionStep : public StreamStep
{
public:
    // Null when the settings are inactive: the effect's output goes on unchanged. Throws
    // transmission::SettingsError when this build cannot transmit.
    static std::unique_ptr<TransmissionStep> make(const transmission::TransmissionSettings& settings,
                                                  std::uint32_t sampleRate, std::uint32_t channels,
                                                  std::uint64_t seed);

    virtual TransmissionReport report() const = 0;
};
} // namespace pipeline
