// A window of the stand-in host that a plugin can send messages to (through SendMessageW):
// it keeps every message it receives.
#pragma once

#include "platform/WindowMessages.h"

#include <vector>

namespace quarl
{
class HostWindow
{
public:
    struct Message
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The handle to pass to a plugin.
    HWND handle();

    const std::vector<Message>& messages() const { return m_messages; }

private:
#if defined(_WIN32)
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window = nullptr; // a message-only window of the system
#else
    static LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    platform::Window m_window; // what the handle points at
#endif
    std::vector<Message> m_messages;
};
} // namespace quarl
