// The transmission step where the codecs are not built (the Windows tool): inactive settings
// pass, anything else is refused.
#include "pipeline/TransmissionStep.h"

namespace pipeline
{
std::unique_ptr<TransmissionStep> TransmissionStep::make(const transmission::TransmissionSettings& settings,
                                                         std::uint32_t, std::uint32_t, std::uint64_t)
{
    if (settings.active())
        throw transmission::SettingsError("this build has no codecs, packet loss or radio");
    return nullptr;
}
} // namespace pipeline
