#include "platform/ModuleState.h"

#if !defined(CRUMLET_HAVE_MFC)
#include "platform/DynamicLibrary.h"

namespace
{
// The state of whoever called into this module; its handles are not this module's.
AFX_MODULE_STATE& callerState()
{
    static AFX_MODULE_STATE state;
    return state;
}

thread_local AFX_MODULE_STATE* t_current = nullptr;
} // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    return t_current != nullptr ? t_current : &callerState();
}

AFX_MODULE_STATE* AfxGetStaticModuleState()
{
    static AFX_MODULE_STATE state{platform::thisModule(), platform::thisModule(), nullptr};
    return &state;
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

HINSTANCE AfxGetInstanceHandle()
{
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state) : m_previous(t_current)
{
    t_current = state;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2()
{
    t_current = m_previous;
}
#endif
