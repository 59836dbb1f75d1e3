// The module's registration list, handed to the host's sound engine at start-up.
#pragma once

#include "ZQ/QuarlSoundEngine.h"

#if defined(_WIN32)
#define CRUMLET_EXPORT __declspec(dllexport)
#else
#define CRUMLET_EXPORT __attribute__((visibility("default")))
#endif

// Head of the list; the module's one record is linked in during static initialisation.
extern "C" CRUMLET_EXPORT ZQ::Quarl::PluginRegistration* g_pZQPluginList;

// Links the module's record in front of the list. Only the first call changes the list,
// so whichever static initialiser or start-up step runs first may call it.
void linkModuleRegistration();
