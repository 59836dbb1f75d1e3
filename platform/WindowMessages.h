// Window messages: the two a dialog's owner reacts to, and SendMessageW. Here a window
// handle points at a platform::Window, whose procedure receives what is sent to it; on
// Windows the system delivers the message to the window's procedure.
#pragma once

#include "platform/WinTypes.h"

#if !defined(_WIN32)
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_INITDIALOG = 0x0110;
// Sent to a dialog's owner while the dialog's message loop has nothing to do.
constexpr UINT WM_ENTERIDLE = 0x0121;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace platform
{
// What a window handle points at.
struct Window
{
    WNDPROC procedure = nullptr;
    void* userData = nullptr; // the owner's, as a window's user data is on Windows
    unsigned long nativeWindow = 0; // the X11 window, when the window has one on screen
};

// What a GUI framework takes as the native parent of a child window: the X11 window id.
inline void* nativeWindowOf(HWND window)
{
    return window != nullptr ? reinterpret_cast<void*>(static_cast<const Window*>(window)->nativeWindow) : nullptr;
}
} // namespace platform

// Calls the window's procedure and answers its result; 0 for a null window or one without
// a procedure.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#else
namespace platform
{
inline void* nativeWindowOf(HWND window)
{
    return window;
}
} // namespace platform
#endif
