// Hands the module's registration list to the host's sound engine library.
#pragma once

#include "ZQ/QuarlSoundEngine.h"
#include "platform/WinTypes.h"

// Loads `library` (the copy the host has loaded already, when it has), finds its
// registration entry point and calls it with `list`. Answers whether the engine was
// reached; a missing library or entry point is not an error, the effect then simply stays
// unknown to the sound engine. The library is never released.
bool registerWithSoundEngine(LPCWSTR library, ZQ::Quarl::PluginRegistration* list);

// The library the host's sound engine lives in.
constexpr LPCWSTR kSoundEngineLibrary = ZQ_TEXT("QuarlSoundEngine.dll");
