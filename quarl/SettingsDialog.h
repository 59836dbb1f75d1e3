// The stand-in host's settings dialog on X11: a top-level window that a plugin object fills
// through its window messages (operation 20), as the real host's dialog on Windows. Opening
// sends WM_INITDIALOG with the dialog's handle (whose native window is the X11 window, the
// parent of the plugin's editor); closing sends WM_DESTROY. While open, pump() runs the
// dialog's loop once: its own window events, then WM_ENTERIDLE, in which the plugin runs
// its GUI framework's pending work.
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
    // Opens a connection to the display (DISPLAY); throws std::runtime_error without one.
    SettingsDialog();
    ~SettingsDialog();
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // Shows the dialog for `plugin` and sends it WM_INITDIALOG; the dialog takes the size of
    // the window the plugin placed in it.
    void open(ZQ::Quarl::IAudioPlugin& plugin, const std::string& title);
    // Sends WM_DESTROY and takes the window down. Nothing when not open.
    void close();
    bool isOpen() const { return m_plugin != nullptr; }

    // One turn of the dialog's loop; false once the user closed the window.
    bool pump();

    // The handle the plugin received.
    HWND handle() { return &m_window; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // The screen density programs on this display are told, as the "Xft.dpi" resource that
    // desktops set from their scaling (what `xrdb` changes); the previous setting is put back
    // when the dialog goes. 0 leaves the server's setting alone.
    void setScreenDpi(int dpi);

    // The user's mouse, as the X server delivers it to the window under the pointer: a press
    // at `from`, moves to `to` in steps, a release there (a click when both are the same).
    // Points are in dialog pixels.
    void drag(int fromX, int fromY, int toX, int toY);
    void click(int x, int y) { drag(x, y, x, y); }

    // What the dialog shows now, as 0xAARRGGBB pixels row by row (alpha 0xFF).
    std::vector<std::uint32_t> capture();

private:
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
};
} // namespace quarl
