#include "platform/WindowMessages.h"

#if !defined(_WIN32)
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr)
        return 0;
    const auto* target = static_cast<const platform::Window*>(window);
    if (target->procedure == nullptr)
        return 0;
    return target->procedure(window, message, wParam, lParam);
}
#endif
