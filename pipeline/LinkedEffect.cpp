#include "pipeline/LinkedEffect.h"

#include "host/ModuleRegistration.h"
#include "host/PluginIds.h"
#include "quarl/SoundEngine.h"

namespace pipeline
{
const ZQ::Quarl::PluginRegistration* linkedEffectRecord()
{
    static const ZQ::Quarl::PluginRegistration* record = [] {
        RegisterQuarlPlugin20192(g_pZQPluginList);
        return quarl::SoundEngine::instance().find(kOrvexCompanyId, kCrumletPluginId);
    }();
    return record;
}
} // namespace pipeline
