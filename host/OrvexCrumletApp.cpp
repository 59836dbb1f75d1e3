#include "host/OrvexCrumletApp.h"

#include "host/ModuleRegistration.h"
#include "host/SoundEngineLink.h"

COrvexCrumletApp::COrvexCrumletApp() : CWinApp(ZQ_TEXT("OrvexCrumlet"))
{
}

BOOL COrvexCrumletApp::InitInstance()
{
    CWinApp::InitInstance();
    // Static initialisation has linked the module's record by now; without one there is
    // nothing to register.
    if (g_pZQPluginList != nullptr)
        registerWithSoundEngine(kSoundEngineLibrary, g_pZQPluginList);
    return 1;
}
