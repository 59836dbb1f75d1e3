#include "host/FrameworkMessages.h"

#if !defined(_WIN32)
#include <juce_events/juce_events.h>

namespace juce
{
// The framework's own dispatch step (juce_linux_Messaging.cpp), as its plug-in wrappers use it.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

void dispatchFrameworkMessages()
{
    // Bounded, so that a flood of messages cannot hold the host's loop.
    for (int i = 0; i < 256 && juce::dispatchNextMessageOnSystemQueue(true); ++i)
    {
    }
}
#else
void dispatchFrameworkMessages()
{
}
#endif
