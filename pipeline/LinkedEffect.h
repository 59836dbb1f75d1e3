// The effect's registration record in a program that links the module's engine side in rather
// than loading the module (crumlet-play, the audition page's WebAssembly module): the record
// registered with the host's sound engine once, and found there as the host finds it.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

namespace pipeline
{
// The record, or null when the effect did not register.
const ZQ::Quarl::PluginRegistration* linkedEffectRecord();
} // namespace pipeline
