// The screen's device context and its pixel density. Here the screen is the X server's:
// GetDC(nullptr) opens a connection to it, and the logical density is the server's
// "Xft.dpi" resource, which desktops set from their scaling; 96 when the server has none.
// Without a display GetDC answers null and callers take 96 dpi, as on Windows when GetDC
// fails. On Windows these are the system calls.
#pragma once

#include "platform/WinTypes.h"

#if !defined(_WIN32)
using HDC = void*;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// The device context of the screen for a null window (a window's own context is not
// offered); null when no display can be opened.
HDC GetDC(HWND window);
// A device capability; 0 for a null context.
int GetDeviceCaps(HDC context, int index);
// Releases a context from GetDC; answers 1 when released.
int ReleaseDC(HWND window, HDC context);
#endif
