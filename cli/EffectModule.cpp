#include "cli/EffectModule.h"

#include "cli/UsageError.h"
#include "host/ModuleRegistration.h"
#include "host/PluginIds.h"
#include "quarl/SoundEngine.h"

const ZQ::Quarl::PluginRegistration& registeredEffect()
{
    // The module is linked into the tool: hand its list to the sound engine as its
    // start-up would.
    static const bool registered = (RegisterQuarlPlugin20192(g_pZQPluginList), true);
    (void)registered;
    const auto* record = quarl::SoundEngine::instance().find(kOrvexCompanyId, kCrumletPluginId);
    if (record == nullptr)
        throw IoError("the effect is not registered with the sound engine");
    return *record;
}
