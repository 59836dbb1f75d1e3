// The screen's device context and its pixel density. Linux offers no system-wide logical
// density to a library, so here no screen context can be had and callers take 96 dpi, as
// on Windows when GetDC fails. On Windows these are the system calls.
#pragma once

#include "platform/WinTypes.h"

#if !defined(_WIN32)
using HDC = void*;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// The device context of `window`'s client area, or of the screen for null; null here.
HDC GetDC(HWND window);
// A device capability; 0 for a null context.
int GetDeviceCaps(HDC context, int index);
// Releases a context from GetDC; answers 1 when released.
int ReleaseDC(HWND window, HDC context);
#endif
