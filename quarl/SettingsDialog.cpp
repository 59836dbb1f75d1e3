#include "quarl/SettingsDialog.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdexcept>

namespace quarl
{
struct SettingsDialog::X11
{
    Display* display = nullptr;
    ::Window window = 0;
    Atom deleteWindow = 0;
};

namespace
{
// Atoms a window manager would have created. A bare server (no window manager) lacks them,
// and GUI toolkits that only look atoms up then treat the server as unusable; this
// connection keeps them alive while the dialog is open.
const char* const kWindowManagerAtoms[] = {
    "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "WM_CHANGE_STATE", "WM_STATE", "_NET_WM_PING",
    "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_STATE",
    "_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_FULLSCREEN", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_MOTIF_WM_HINTS",
    "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_NAME", "_NET_WM_PID", "UTF8_STRING"};
} // namespace

SettingsDialog::SettingsDialog() : m_x(new X11)
{
    m_x->display = XOpenDisplay(nullptr);
    if (m_x->display == nullptr)
    {
        delete m_x;
        throw std::runtime_error("no display (is DISPLAY set?)");
    }
    for (const char* name : kWindowManagerAtoms)
        XInternAtom(m_x->display, name, False);
    m_x->deleteWindow = XInternAtom(m_x->display, "WM_DELETE_WINDOW", False);
    m_window.procedure = &SettingsDialog::procedure;
    m_window.userData = this;
}

SettingsDialog::~SettingsDialog()
{
    close();
    if (m_resourcesChanged)
    {
        Display* d = m_x->display;
        const Atom property = XInternAtom(d, "RESOURCE_MANAGER", False);
        if (m_hadResources)
            XChangeProperty(d, DefaultRootWindow(d), property, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(m_previousResources.data()),
                            static_cast<int>(m_previousResources.size()));
        else
            XDeleteProperty(d, DefaultRootWindow(d), property);
        XSync(d, False);
    }
    XCloseDisplay(m_x->display);
    delete m_x;
}

void SettingsDialog::setScreenDpi(int dpi)
{
    if (dpi <= 0)
        return;
    Display* d = m_x->display;
    const Atom property = XInternAtom(d, "RESOURCE_MANAGER", False);
    std::string resources;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, DefaultRootWindow(d), property, 0, 1 << 20, False, XA_STRING, &type, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr)
    {
        resources.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
        if (!m_resourcesChanged)
        {
            m_previousResources = resources;
            m_hadResources = true;
        }
    }
    // Every other resource kept; the density line replaced.
    std::string updated;
    std::size_t start = 0;
    while (start < resources.size())
    {
        std::size_t end = resources.find('\n', start);
        if (end == std::string::npos)
            end = resources.size();
        const std::string line = resources.substr(start, end - start);
        if (line.rfind("Xft.dpi:", 0) != 0 && !line.empty())
            updated += line + "\n";
        start = end + 1;
    }
    updated += "Xft.dpi:\t" + std::to_string(dpi) + "\n";
    XChangeProperty(d, DefaultRootWindow(d), property, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(updated.data()), static_cast<int>(updated.size()));
    XSync(d, False);
    m_resourcesChanged = true;
}

LRESULT SettingsDialog::procedure(HWND, UINT, WPARAM, LPARAM)
{
    // Messages the plugin sends the dialog (help requests) are not handled here.
    return 0;
}

void SettingsDialog::send(UINT message)
{
    LRESULT result = 0;
    m_plugin->HandleWindowMessage(0, &m_window, message, 0, 0, result);
}

void SettingsDialog::open(ZQ::Quarl::IAudioPlugin& plugin, const std::string& title)
{
    close();
    Display* d = m_x->display;
    const int screen = DefaultScreen(d);
    // The dialog template's size (552 x 299 dialog units in an 8-point font, 6 x 13 pixels a
    // character) until the plugin has placed its window; then fitted to that window.
    m_width = 552 * 6 / 4;
    m_height = 299 * 13 / 8;
    m_x->window = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(m_width),
                                      static_cast<unsigned>(m_height), 0, BlackPixel(d, screen),
                                      BlackPixel(d, screen));
    XStoreName(d, m_x->window, title.c_str());
    XSetWMProtocols(d, m_x->window, &m_x->deleteWindow, 1);
    XSelectInput(d, m_x->window, StructureNotifyMask);
    XMapWindow(d, m_x->window);
    XSync(d, False);
    m_window.nativeWindow = m_x->window;
    m_plugin = &plugin;
    m_closeRequested = false;
    send(WM_INITDIALOG);
    fitToContent();
}

void SettingsDialog::fitToContent()
{
    Display* d = m_x->display;
    XSync(d, False);
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, m_x->window, &root, &parent, &children, &count))
        return;
    if (count > 0)
    {
        XWindowAttributes a{};
        if (XGetWindowAttributes(d, children[0], &a) && a.width > 0 && a.height > 0)
        {
            m_width = a.width;
            m_height = a.height;
            XResizeWindow(d, m_x->window, static_cast<unsigned>(m_width), static_cast<unsigned>(m_height));
            XSync(d, False);
        }
    }
    if (children != nullptr)
        XFree(children);
}

void SettingsDialog::close()
{
    if (m_plugin == nullptr)
        return;
    send(WM_DESTROY);
    m_plugin = nullptr;
    XDestroyWindow(m_x->display, m_x->window);
    XSync(m_x->display, False);
    m_x->window = 0;
    m_window.nativeWindow = 0;
}

bool SettingsDialog::pump()
{
    if (m_plugin == nullptr)
        return false;
    Display* d = m_x->display;
    while (XPending(d) > 0)
    {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == m_x->deleteWindow)
            m_closeRequested = true;
    }
    send(WM_ENTERIDLE);
    return !m_closeRequested;
}

void SettingsDialog::drag(int fromX, int fromY, int toX, int toY)
{
    if (m_plugin == nullptr)
        return;
    Display* d = m_x->display;
    // The innermost window under the starting point receives the whole gesture (the pointer
    // is grabbed by the press), with coordinates relative to it.
    ::Window target = m_x->window, child = 0;
    int tx = fromX, ty = fromY;
    while (XTranslateCoordinates(d, m_x->window, target, fromX, fromY, &tx, &ty, &child) && child != 0)
        target = child;
    const int dx = tx - fromX, dy = ty - fromY;
    auto post = [&](int type, int x, int y, unsigned int state) {
        XEvent e{};
        e.type = type;
        if (type == MotionNotify)
        {
            e.xmotion = XMotionEvent{MotionNotify, 0, True, d, target, DefaultRootWindow(d), None, CurrentTime,
                                     x + dx, y + dy, x, y, state, NotifyNormal, True};
            XSendEvent(d, target, True, PointerMotionMask | ButtonMotionMask, &e);
        }
        else
        {
            e.xbutton = XButtonEvent{type, 0, True, d, target, DefaultRootWindow(d), None, CurrentTime,
                                     x + dx, y + dy, x, y, state, Button1, True};
            XSendEvent(d, target, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
        }
        XSync(d, False); // the server has handed the event on
        // Each step is taken by the plugin's loop before the next is sent.
        for (int i = 0; i < 3; ++i)
            this->send(WM_ENTERIDLE);
    };
    post(MotionNotify, fromX, fromY, 0);
    post(ButtonPress, fromX, fromY, 0);
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps && (toX != fromX || toY != fromY); ++i)
        post(MotionNotify, fromX + (toX - fromX) * i / kSteps, fromY + (toY - fromY) * i / kSteps, Button1Mask);
    post(ButtonRelease, toX, toY, Button1Mask);
}

std::vector<std::uint32_t> SettingsDialog::capture()
{
    std::vector<std::uint32_t> pixels;
    if (m_plugin == nullptr)
        return pixels;
    XSync(m_x->display, False);
    XImage* image = XGetImage(m_x->display, m_x->window, 0, 0, static_cast<unsigned>(m_width),
                              static_cast<unsigned>(m_height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return pixels;
    pixels.resize(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
        {
            const unsigned long p = XGetPixel(image, x, y);
            const std::uint32_t r = static_cast<std::uint32_t>((p & image->red_mask) >> __builtin_ctzl(image->red_mask));
            const std::uint32_t g =
                static_cast<std::uint32_t>((p & image->green_mask) >> __builtin_ctzl(image->green_mask));
            const std::uint32_t b =
                static_cast<std::uint32_t>((p & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)] =
                0xFF000000u | (r << 16) | (g << 8) | b;
        }
    XDestroyImage(image);
    return pixels;
}
} // namespace quarl
