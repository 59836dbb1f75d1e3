// Where the tool gets the effect: the module's registration record, as the host's sound
// engine holds it after the module has registered.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

// The effect's registration record; throws IoError when no module registered it.
const ZQ::Quarl::PluginRegistration& registeredEffect();
