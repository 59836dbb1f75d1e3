#include "host/OrvexCrumletApp.h"

#include "host/ModuleRegistration.h"
#include "host/SoundEngineLink.h"

COrvexCrumletApp::COrvexCrumletApp() : CWinApp(ZQ_TEXT("OrvexCrumlet"))
{
}

BOOL COrvexCrumletApp::InitInstance()
{
    CWinApp::InitInstance();
    // The record may not be linked yet if this file's statics ran before the registration's.
    linkModuleRegistration();
    if (g_pZQPluginList != nullptr)
        registerWithSoundEngine(kSoundEngineLibrary, g_pZQPluginList);
    return 1;
}

namespace
{
// The one application object.
COrvexCrumletApp theApp;

#if !defined(_WIN32)
// Started once it is constructed, as the framework's library entry point does on Windows.
platform::ApplicationStart g_start(theApp);
#endif
} // namespace
