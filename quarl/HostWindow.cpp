#include "quarl/HostWindow.h"

namespace quarl
{
HostWindow::HostWindow()
{
    m_window.procedure = &HostWindow::procedure;
    m_window.userData = this;
}

LRESULT HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<HostWindow*>(static_cast<platform::Window*>(window)->userData);
    self->m_messages.push_back(Message{message, wParam, lParam});
    return 0;
}
} // namespace quarl
