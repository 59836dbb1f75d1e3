#include "widgets/JuceCount_Quarl.h"

#include <juce_events/juce_events.h>

namespace
{
// Touched only on the message thread, when editors are built and destroyed.
std::int32_t g_liveCount = 0;
} // namespace

JuceCount_Quarl::JuceCount_Quarl()
{
    ++g_liveCount;
}

JuceCount_Quarl::~JuceCount_Quarl()
{
    if (g_liveCount-- == 1)
    {
        juce::DeletedAtShutdown::deleteAll();
        juce::MessageManager::deleteInstance();
    }
}

std::int32_t JuceCount_Quarl::liveCount()
{
    return g_liveCount;
}
