// The module's one application object and its start. It starts only once every static of
// the module is ready (the parameter and display-name tables, the registration record,
// the string table, the GUI framework's statics), so that a sound engine calling back into
// the module during registration finds it complete.
//
// On Windows the C runtime's DLL entry runs every static constructor before it calls
// DllMain, which starts the application object at DLL_PROCESS_ATTACH and ends it at
// DLL_PROCESS_DETACH. Elsewhere the loader runs static initialisers in link order, and the
// module's link line ends with this file's object, after every library (host/CMakeLists.txt),
// so its own initialiser is the last.
#include "host/OrvexCrumletApp.h"

namespace
{
COrvexCrumletApp theApp;
} // namespace

#if defined(CRUMLET_HAVE_MFC)
// The framework's own DllMain starts the application object.
#elif defined(_WIN32)
namespace
{
platform::ApplicationStart* g_start = nullptr;
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH && g_start == nullptr)
        g_start = new platform::ApplicationStart(theApp);
    else if (reason == DLL_PROCESS_DETACH)
    {
        delete g_start;
        g_start = nullptr;
    }
    return TRUE;
}
#else
namespace
{
platform::ApplicationStart g_start(theApp);
} // namespace
#endif
