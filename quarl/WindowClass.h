// Registers a window class of this program (Windows): the stand-in host's own windows.
#pragma once

#if defined(_WIN32)
#include <windows.h>

namespace quarl
{
// Registers `name` with `procedure` (an arrow cursor, `background` or none); registering a
// name again changes nothing. Answers the program's instance handle, for CreateWindowExW.
inline HINSTANCE registerWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background = nullptr)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass); // fails harmlessly once the class exists
    return windowClass.hInstance;
}
} // namespace quarl
#endif
