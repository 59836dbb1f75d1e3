// Window messages: the two a dialog's owner reacts to, and SendMessageW. Here a window
// handle points at a platform::Window, whose procedure receives what is sent to it; on
// Windows the system delivers the message to the window's procedure.
#pragma once

#include "platform/WinTypes.h"

#if !defined(_WIN32)
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_INITDIALOG = 0x0110;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace platform
{
// What a window handle points at.
struct Window
{
    WNDPROC procedure = nullptr;
    void* userData = nullptr; // the owner's, as a window's user data is on Windows
};
} // namespace platform

// Calls the window's procedure and answers its result; 0 for a null window or one without
// a procedure.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#endif
