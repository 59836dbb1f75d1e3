// Stands in for the application framework's header in a compile check of the platform
// layer's include order. Like the real one, it refuses to come after <windows.h>, and it
// declares what the layer's headers use of it.
#pragma once

#ifdef _WINDOWS_
#error "<windows.h> was included before the framework's header"
#endif
#include <windows.h>

class CWinApp
{
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    virtual ~CWinApp();
    virtual BOOL InitInstance();
    virtual int ExitInstance();
};

struct AFX_MODULE_STATE;
AFX_MODULE_STATE* AfxGetStaticModuleState();
HINSTANCE AfxGetResourceHandle();

class AFX_MAINTAIN_STATE2
{
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE2();
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p)
