#include "platform/WinTypes.h"

#if !defined(_WIN32)
#include <cstring>

void VariantInit(VARIANT* pvarg)
{
    if (pvarg == nullptr)
        return;
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

HRESULT VariantClear(VARIANT* pvarg)
{
    // The three value types own no resources, so clearing only resets the type.
    if (pvarg != nullptr)
    {
        pvarg->vt = VT_EMPTY;
        pvarg->llVal = 0;
    }
    return S_OK;
}
#endif
