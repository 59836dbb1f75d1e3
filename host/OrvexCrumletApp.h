// The module's application object: its start registers the effect with the host's sound
// engine.
#pragma once

#include "platform/WinApp.h"

class COrvexCrumletApp : public CWinApp
{
public:
    COrvexCrumletApp();

    // Hands the registration list to "QuarlSoundEngine.dll"; succeeds whether or not the
    // sound engine is there.
    BOOL InitInstance() override;
};
