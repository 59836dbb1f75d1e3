// The editor in a real Win32 dialog: the stand-in host creates the module's dialog 104 in a
// frame window and hands the plugin object its messages; WM_INITDIALOG builds the editor as
// a child window of the dialog, WM_DESTROY takes it down, and with the last editor the GUI
// framework shuts down (its hidden message window goes with its message manager).
// Needs a display (wine's X11 driver): run under Xvfb.
#include "quarl/PluginInstance.h"
#include "quarl/SettingsDialog.h"
#include "windows/tests/WindowsTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using crumlet_windows_test::loadedModule;

namespace
{
std::vector<HWND> childrenOf(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The framework's hidden message windows in this process (its message manager's): hidden
// top-level windows of a class the framework named "JUCE_...".
int frameworkMessageWindows()
{
    struct Search
    {
        int count = 0;
    } search;
    EnumWindows(
        [](HWND w, LPARAM data) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(w, name, 64);
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (process == GetCurrentProcessId() && !IsWindowVisible(w) && std::wstring(name).rfind(L"JUCE_", 0) == 0)
                ++reinterpret_cast<Search*>(data)->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

void pumpFor(quarl::SettingsDialog& dialog, DWORD milliseconds)
{
    const DWORD until = GetTickCount() + milliseconds;
    while (GetTickCount() < until)
    {
        dialog.pump();
        Sleep(5);
    }
}

TEST(WindowsEditor, OpensAsAChildOfTheHostsDialogAndClosesCleanly)
{
    quarl::PluginInstance instance(loadedModule());
    EXPECT_EQ(frameworkMessageWindows(), 0);
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round == 0 ? "first opening" : "opening again");
        quarl::SettingsDialog dialog;
        dialog.open(instance.plugin(), "Crumlet");
        pumpFor(dialog, 300);
        const std::vector<HWND> children = childrenOf(dialog.handle());
        ASSERT_EQ(children.size(), 1u) << "the editor's window";
        RECT area{};
        GetClientRect(children[0], &area);
        EXPECT_EQ(area.right, 749);
        EXPECT_EQ(area.bottom, 565);
        EXPECT_TRUE(IsWindowVisible(children[0]));
        EXPECT_EQ(frameworkMessageWindows(), 1) << "the framework runs while the editor is open";

        dialog.close();
        EXPECT_FALSE(IsWindow(children[0])) << "the editor's window went with the dialog";
        EXPECT_EQ(frameworkMessageWindows(), 0) << "the last editor shut the framework down";
    }
}

TEST(WindowsEditor, TwoDialogsOpenAtOnceShareTheFramework)
{
    quarl::PluginInstance first(loadedModule()), second(loadedModule());
    quarl::SettingsDialog a, b;
    a.open(first.plugin(), "first");
    b.open(second.plugin(), "second");
    pumpFor(a, 100);
    EXPECT_EQ(childrenOf(a.handle()).size(), 1u);
    EXPECT_EQ(childrenOf(b.handle()).size(), 1u);
    a.close();
    EXPECT_EQ(frameworkMessageWindows(), 1) << "the other editor still runs";
    pumpFor(b, 100);
    b.close();
    EXPECT_EQ(frameworkMessageWindows(), 0);
}

TEST(WindowsEditor, DestroyingThePluginWithItsDialogOpenClosesTheEditor)
{
    auto instance = std::make_unique<quarl::PluginInstance>(loadedModule());
    quarl::SettingsDialog dialog;
    dialog.open(instance->plugin(), "Crumlet");
    pumpFor(dialog, 100);
    const std::vector<HWND> children = childrenOf(dialog.handle());
    ASSERT_EQ(children.size(), 1u);
    instance.reset();
    dialog.forgetPlugin();
    EXPECT_FALSE(IsWindow(children[0]));
    EXPECT_EQ(frameworkMessageWindows(), 0);
}
} // namespace
