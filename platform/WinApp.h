// The framework's application object of a library: one per module, constructed during
// static initialisation, started (InitInstance) once the library is loaded and ended
// (ExitInstance) when it is unloaded. Built against the MFC runtime, the framework's own
// CWinApp and its library entry point do this.
#pragma once

#include "platform/ModuleState.h"

#if !defined(CRUMLET_HAVE_MFC)
class CWinApp
{
public:
    // Becomes the application object of this module's state.
    explicit CWinApp(LPCWSTR appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    LPCWSTR m_pszAppName;
};

// The application object of the current module state, or null.
CWinApp* AfxGetApp();

namespace platform
{
// What the framework's library entry point does around the application object: defined
// once, right after the application object (so that it is constructed after it), it runs
// InitInstance under the module's own state, and ExitInstance when the library unloads.
class ApplicationStart
{
public:
    explicit ApplicationStart(CWinApp& app);
    ~ApplicationStart();
    ApplicationStart(const ApplicationStart&) = delete;
    ApplicationStart& operator=(const ApplicationStart&) = delete;

    BOOL initResult() const { return m_initResult; }

private:
    CWinApp& m_app;
    BOOL m_initResult;
};
} // namespace platform
#endif
