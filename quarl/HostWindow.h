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
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The handle to pass to a plugin.
    HWND handle() { return &m_window; }

    const std::vector<Message>& messages() const { return m_messages; }

private:
    static LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    platform::Window m_window; // what the handle points at
    std::vector<Message> m_messages;
};
} // namespace quarl
