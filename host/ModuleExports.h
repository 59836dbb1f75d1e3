// What the module exports by name: the authoring factory and the registration list.
#pragma once

#include "ZQ/QuarlPlugin.h"
#include "host/ModuleRegistration.h"

// A new, independent authoring plugin object, or null when memory runs out. The host
// destroys it through its first operation.
extern "C" CRUMLET_EXPORT ZQ::Quarl::IAudioPlugin* ZqCreatePlugin();
