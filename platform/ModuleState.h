// The application framework's module state: which module's resources and application
// object are current on this thread, and the guard that makes a module's own state
// current for the length of a call. Built against the MFC runtime, the framework provides
// all of this.
#pragma once

#if defined(CRUMLET_HAVE_MFC)
#include <afxwin.h>
#else
#include "platform/WinTypes.h"

class CWinApp;

struct AFX_MODULE_STATE
{
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    CWinApp* m_pCurrentWinApp = nullptr;
};

// The state current on this thread: the caller's until a guard switches it.
AFX_MODULE_STATE* AfxGetModuleState();

// This module's own state (one per image): its instance and resource handles and its
// application object.
AFX_MODULE_STATE* AfxGetStaticModuleState();

// The resource and instance handles of the current state.
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxGetInstanceHandle();

// Makes `state` current on this thread and restores the previous state when it goes out
// of scope, whichever way the scope is left.
class AFX_MAINTAIN_STATE2
{
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_previous;
};

#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p)
#endif
