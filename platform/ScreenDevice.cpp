#include "platform/ScreenDevice.h"

#if !defined(_WIN32)
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cmath>
#include <cstdlib>

namespace
{
constexpr int kDefaultDpi = 96;

// The server's "Xft.dpi" resource, or the default when it has none.
int logicalDpi(Display* display)
{
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr)
        return kDefaultDpi;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    int dpi = kDefaultDpi;
    char* type = nullptr;
    XrmValue value{};
    if (database != nullptr && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr)
    {
        const double parsed = std::strtod(value.addr, nullptr);
        if (parsed >= 24.0 && parsed <= 960.0)
            dpi = static_cast<int>(std::lround(parsed));
    }
    if (database != nullptr)
        XrmDestroyDatabase(database);
    return dpi;
}
} // namespace

HDC GetDC(HWND window)
{
    if (window != nullptr)
        return nullptr;
    return XOpenDisplay(nullptr);
}

int GetDeviceCaps(HDC context, int index)
{
    if (context == nullptr || (index != LOGPIXELSX && index != LOGPIXELSY))
        return 0;
    return logicalDpi(static_cast<Display*>(context));
}

int ReleaseDC(HWND, HDC context)
{
    if (context == nullptr)
        return 0;
    XCloseDisplay(static_cast<Display*>(context));
    return 1;
}
#endif
