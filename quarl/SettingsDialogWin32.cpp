#include "quarl/SettingsDialog.h"

#include "platform/DynamicLibrary.h"
#include "quarl/WindowClass.h"

#include <stdexcept>

namespace quarl
{
namespace
{
constexpr const wchar_t* kFrameClass = L"QuarlSettingsFrame";

// The dialog being created: its first messages (WM_SETFONT, WM_INITDIALOG) arrive before
// CreateDialogParamW returns.
thread_local SettingsDialog* t_opening = nullptr;
} // namespace

SettingsDialog::SettingsDialog()
{
    registerWindowClass(kFrameClass, &SettingsDialog::frameProcedure, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

SettingsDialog::~SettingsDialog()
{
    close();
}

void SettingsDialog::open(ZQ::Quarl::IAudioPlugin& plugin, const std::string& title)
{
    close();
    UINT dialogId = 0;
    void* table = nullptr;
    if (!plugin.GetDialogResource(0, dialogId, table))
        throw std::runtime_error("the plugin has no settings dialog");
    const HINSTANCE resources = plugin.GetResourceModule();

    m_closeRequested = false;
    m_frame = CreateWindowExW(0, kFrameClass, platform::fromUtf8(title).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    if (m_frame == nullptr)
        throw std::runtime_error("cannot create the settings frame");
    SetWindowLongPtrW(m_frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    m_plugin = &plugin;
    t_opening = this;
    m_dialog = CreateDialogParamW(resources, MAKEINTRESOURCEW(dialogId), m_frame, &SettingsDialog::dialogProcedure,
                                  reinterpret_cast<LPARAM>(this));
    t_opening = nullptr;
    if (m_dialog == nullptr)
    {
        m_plugin = nullptr;
        DestroyWindow(m_frame);
        m_frame = nullptr;
        throw std::runtime_error("cannot create dialog " + std::to_string(dialogId) + " from the plugin's resources");
    }

    // The dialog is as large as its template; the editor sits in its top left corner and may
    // be larger. The frame shows whichever is larger.
    RECT area{};
    GetClientRect(m_dialog, &area);
    m_width = area.right;
    m_height = area.bottom;
    for (HWND child = GetWindow(m_dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, m_dialog, reinterpret_cast<POINT*>(&r), 2);
        m_width = std::max<int>(m_width, r.right);
        m_height = std::max<int>(m_height, r.bottom);
    }
    SetWindowPos(m_dialog, nullptr, 0, 0, m_width, m_height, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame{0, 0, m_width, m_height};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(m_frame, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOMOVE);
    ShowWindow(m_dialog, SW_SHOW);
    ShowWindow(m_frame, SW_SHOW);
    UpdateWindow(m_frame);
}

void SettingsDialog::close()
{
    if (m_dialog != nullptr)
        DestroyWindow(m_dialog); // WM_DESTROY reaches the plugin
    m_dialog = nullptr;
    m_plugin = nullptr;
    if (m_frame != nullptr)
        DestroyWindow(m_frame);
    m_frame = nullptr;
}

bool SettingsDialog::pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        if (m_dialog == nullptr || !IsDialogMessageW(m_dialog, &message))
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return !m_closeRequested;
}

std::vector<std::uint32_t> SettingsDialog::capture()
{
    std::vector<std::uint32_t> pixels;
    if (m_dialog == nullptr || m_width <= 0 || m_height <= 0)
        return pixels;
    RedrawWindow(m_dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    POINT origin{0, 0};
    ClientToScreen(m_dialog, &origin);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr)
    {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, m_width, m_height, screen, origin.x, origin.y, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        pixels.assign(source, source + static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
        for (std::uint32_t& p : pixels)
            p |= 0xFF000000u;
        SelectObject(memory, previous);
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

INT_PTR CALLBACK SettingsDialog::dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr)
    {
        self = t_opening;
        if (self == nullptr)
            return FALSE;
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    if (self->m_plugin != nullptr)
    {
        LRESULT result = 0;
        self->m_plugin->HandleWindowMessage(0, dialog, message, wParam, lParam, result);
    }
    if (message == WM_DESTROY)
        self->m_plugin = nullptr;
    // The dialog manager's own handling goes on; WM_INITDIALOG leaves the focus to it.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

LRESULT CALLBACK SettingsDialog::frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(frame, GWLP_USERDATA));
    if (message == WM_CLOSE && self != nullptr)
    {
        self->m_closeRequested = true;
        return 0;
    }
    return DefWindowProcW(frame, message, wParam, lParam);
}
} // namespace quarl
