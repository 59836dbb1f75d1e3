// A sound engine library that calls back into the module while it registers, as a host's
// may: it makes an authoring object through the module's factory and asks it for display
// names, and makes the effect's parameter object from the record. What it saw is kept for
// the test.
#pragma once

#include <string>

struct ProbeReport
{
    int registrations = 0;
    int records = 0;
    std::u16string eqqDisplayName;     // "EQQ", asked during registration
    std::u16string balanceDisplayName; // "Balance"
    bool paramsFromDefaults = false;   // the record's parameter object took the defaults
};

extern "C" __attribute__((visibility("default"))) const ProbeReport* probeReport();
