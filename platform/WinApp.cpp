#include "platform/WinApp.h"

#if !defined(CRUMLET_HAVE_MFC)
CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName)
{
    AfxGetStaticModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp == this)
        state->m_pCurrentWinApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return 1;
}

int CWinApp::ExitInstance()
{
    return 0;
}

CWinApp* AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

namespace platform
{
ApplicationStart::ApplicationStart(CWinApp& app) : m_app(app)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_initResult = m_app.InitInstance();
}

ApplicationStart::~ApplicationStart()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_app.ExitInstance();
}
} // namespace platform
#endif
