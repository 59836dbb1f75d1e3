#include "platform/ScreenDevice.h"

#if !defined(_WIN32)
HDC GetDC(HWND)
{
    return nullptr;
}

int GetDeviceCaps(HDC context, int index)
{
    return context != nullptr && (index == LOGPIXELSX || index == LOGPIXELSY) ? 96 : 0;
}

int ReleaseDC(HWND, HDC context)
{
    return context != nullptr ? 1 : 0;
}
#endif
