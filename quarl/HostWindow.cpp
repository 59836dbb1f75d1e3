#include "quarl/HostWindow.h"

#include "quarl/WindowClass.h"

namespace quarl
{
#if defined(_WIN32)
namespace
{
constexpr const wchar_t* kClassName = L"QuarlHostWindow";
} // namespace

HostWindow::HostWindow()
{
    const HINSTANCE instance = registerWindowClass(kClassName, &HostWindow::procedure);
    m_window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HostWindow::~HostWindow()
{
    DestroyWindow(m_window);
}

HWND HostWindow::handle()
{
    return m_window;
}

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Messages the system sends while the window is made and taken down are not the plugin's.
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || message < WM_USER)
        return DefWindowProcW(window, message, wParam, lParam);
    self->m_messages.push_back(Message{message, wParam, lParam});
    return 0;
}
#else
HostWindow::HostWindow()
{
    m_window.procedure = &HostWindow::procedure;
    m_window.userData = this;
}

HostWindow::~HostWindow() = default;

HWND HostWindow::handle()
{
    return &m_window;
}

LRESULT HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<HostWindow*>(static_cast<platform::Window*>(window)->userData);
    self->m_messages.push_back(Message{message, wParam, lParam});
    return 0;
}
#endif
} // namespace quarl
