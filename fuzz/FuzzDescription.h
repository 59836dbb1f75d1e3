// The host's description of the effect, read once from the file shipped with the module.
#pragma once

#include "quarl/PluginDescription.h"

inline const quarl::PluginDescription& fuzzDescription()
{
    static const quarl::PluginDescription description = quarl::PluginDescription::load(CRUMLET_DESCRIPTION_SOURCE);
    return description;
}
