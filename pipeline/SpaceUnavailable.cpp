// The space step where spaces are not built (the Windows tool): no space passes, a space is
// refused.
#include "pipeline/SpaceStep.h"

#include "space/SpaceError.h"

namespace pipeline
{
std::unique_ptr<SpaceStep> SpaceStep::make(const space::SpaceSettings& settings, std::uint32_t, std::uint32_t)
{
    if (settings.active())
        throw space::SpaceError("this build has no spaces");
    return nullptr;
}
} // namespace pipeline
