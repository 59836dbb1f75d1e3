// Counts the live editors in the process. The GUI framework comes up when the first editor
// uses it and is shut down when the last one goes, so a host that opens and closes the
// effect's window many times neither leaks the framework nor pulls it from under an editor.
#pragma once

#include <cstdint>

class JuceCount_Quarl
{
public:
    JuceCount_Quarl();
    virtual ~JuceCount_Quarl();
    JuceCount_Quarl(const JuceCount_Quarl&) = delete;
    JuceCount_Quarl& operator=(const JuceCount_Quarl&) = delete;

    // Live instances now.
    static std::int32_t liveCount();
};
