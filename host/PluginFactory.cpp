// The factory the host calls for every authoring instance of the effect.
#include "host/ModuleExports.h"
#include "host/OrvexCrumletPlugin.h"

#include <new>

extern "C" CRUMLET_EXPORT ZQ::Quarl::IAudioPlugin* ZqCreatePlugin()
{
    return new (std::nothrow) OrvexCrumletPlugin();
}
