// The stand-in host's settings dialog, which a plugin object fills through its window
// messages (operation 20). Opening sends WM_INITDIALOG with the dialog's handle; closing
// sends WM_DESTROY.
//
// On Windows it is made as the real host makes it: the module's dialog resource (operations
// 18 and 19 name the module and the template) created as a child of a frame window, every
// message of the dialog handed to the plugin object. On X11 it is a top-level window (the
// handle's native window, the parent of the plugin's editor); pump() runs its loop once:
// its own window events, then WM_ENTERIDLE, in which the plugin runs its GUI framework's
// pending work.
#pragma once

#include "ZQ/QuarlPlugin.h"
#include "platform/WindowMessages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarl
{
class SettingsDialog
{
public:
    // On X11, opens a connection to the display (DISPLAY); throws std::runtime_error without one.
    SettingsDialog();
    ~SettingsDialog();
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // Shows the dialog for `plugin` and sends it WM_INITDIALOG; the dialog takes the size of
    // the window the plugin placed in it (on Windows, the larger of that and its template).
    // On Windows, throws std::runtime_error when the template cannot be created.
    void open(ZQ::Quarl::IAudioPlugin& plugin, const std::string& title);
    // Sends WM_DESTROY and takes the window down. Nothing when not open.
    void close();
    bool isOpen() const { return m_plugin != nullptr; }
    // The plugin object has gone while the dialog stays: its messages go nowhere from now on.
    void forgetPlugin() { m_plugin = nullptr; }

    // One turn of the dialog's loop; false once the user closed the window.
    bool pump();

    // The handle the plugin received.
#if defined(_WIN32)
    HWND handle() const { return m_dialog; }
#else
    HWND handle() { return &m_window; }
#endif
    int width() const { return m_width; }
    int height() const { return m_height; }

#if !defined(_WIN32)

    // The screen density programs on this display are told, as the "Xft.dpi" resource that
    // desktops set from their scaling (what `xrdb` changes); the previous setting is put back
    // when the dialog goes. 0 leaves the server's setting alone.
    void setScreenDpi(int dpi);

    // The user's mouse, as the X server delivers it to the window under the pointer: a press
    // at `from`, moves to `to` in steps, a release there (a click when both are the same).
    // Points are in dialog pixels.
    void drag(int fromX, int fromY, int toX, int toY);
    void click(int x, int y) { drag(x, y, x, y); }

#endif

    // What the dialog shows now (on Windows read back from the screen, its child windows
    // included), as 0xAARRGGBB pixels row by row (alpha 0xFF).
    std::vector<std::uint32_t> capture();

private:
#if defined(_WIN32)
    static INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_frame = nullptr;
    HWND m_dialog = nullptr;
    ZQ::Quarl::IAudioPlugin* m_plugin = nullptr;
    int m_width = 0, m_height = 0;
    bool m_closeRequested = false;
#else
    static LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void send(UINT message);
    void fitToContent();

    struct X11;
    X11* m_x;
    platform::Window m_window;
    ZQ::Quarl::IAudioPlugin* m_plugin = nullptr;
    int m_width = 0, m_height = 0;
    bool m_closeRequested = false;
    bool m_resourcesChanged = false;
    std::string m_previousResources;
    bool m_hadResources = false;
#endif
};
} // namespace quarl
