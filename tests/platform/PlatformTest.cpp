// The platform layer: library loading by Windows name, the image's own handle, string
// resources, the module-state guard, the application start and window messages.
#include "platform/DynamicLibrary.h"
#include "platform/ModuleState.h"
#include "platform/StringTable.h"
#include "platform/WinApp.h"
#include "platform/WindowMessages.h"
#include "quarl/SoundEngine.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
TEST(SharedObjectName, MapsWindowsLibraryNames)
{
    EXPECT_EQ(platform::sharedObjectNameFor(u"QuarlSoundEngine.dll"), "libQuarlSoundEngine.so");
    EXPECT_EQ(platform::sharedObjectNameFor(u"OrvexCrumlet.DLL"), "libOrvexCrumlet.so");
    EXPECT_EQ(platform::sharedObjectNameFor(u"/opt/host/Plugins/OrvexCrumlet.dll"), "/opt/host/Plugins/libOrvexCrumlet.so");
    EXPECT_EQ(platform::sharedObjectNameFor(u"libm.so.6"), "libm.so.6");
    EXPECT_EQ(platform::sharedObjectNameFor(u".dll"), "lib.so");
    EXPECT_EQ(platform::sharedObjectNameFor(u""), "");
    EXPECT_EQ(platform::sharedObjectNameFor(nullptr), "");
}

TEST(SharedObjectName, ConvertsWideTextToUtf8)
{
    EXPECT_EQ(platform::toUtf8(u"K\u00f6ln \u20ac"), "K\xc3\xb6ln \xe2\x82\xac");
    EXPECT_EQ(platform::toUtf8(u"\U0001F50A"), "\xf0\x9f\x94\x8a");
    const char16_t unpaired[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(platform::toUtf8(unpaired), "a\xef\xbf\xbd" "b");
}

TEST(LoadLibrary, FindsTheCopyTheProcessHasLoaded)
{
    // This program is linked with the sound engine library, as the host is.
    void* loaded = dlopen("libQuarlSoundEngine.so", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(loaded, nullptr);
    HMODULE engine = LoadLibraryW(u"QuarlSoundEngine.dll");
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine, loaded);
    const FARPROC entry = GetProcAddress(engine, "RegisterQuarlPlugin20192");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(entry), reinterpret_cast<void*>(&RegisterQuarlPlugin20192));
    EXPECT_EQ(GetProcAddress(engine, "NoSuchEntryPoint"), nullptr);
    EXPECT_TRUE(FreeLibrary(engine));
    dlclose(loaded);
}

TEST(LoadLibrary, MissingLibrariesAndNamesGiveNull)
{
    EXPECT_EQ(LoadLibraryW(u"NoSuchLibrary.dll"), nullptr);
    EXPECT_EQ(LoadLibraryW(u""), nullptr);
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "RegisterQuarlPlugin20192"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
}

const int g_localObject = 0;

TEST(ThisModule, IsTheLoadAddressOfThisImage)
{
    Dl_info info{};
    ASSERT_NE(dladdr(&g_localObject, &info), 0);
    EXPECT_NE(platform::thisModule(), nullptr);
    EXPECT_EQ(platform::thisModule(), info.dli_fbase);
}

// A handle no image has: tables registered under it are this test's own.
HINSTANCE fakeModule()
{
    static char marker;
    return &marker;
}

const platform::StringResource kStrings[] = {
    {100, u"Hello"},
    {101, u""},
    {102, u"Gr\u00fc\u00dfe"},
};
const platform::StringResource kMoreStrings[] = {
    {100, u"Shadowed"},
    {200, u"Second table"},
};
const bool g_registered = platform::registerStringTable(fakeModule(), kStrings, 3) &&
                          platform::registerStringTable(fakeModule(), kMoreStrings, 2);

TEST(LoadString, CopiesAndTerminates)
{
    ASSERT_TRUE(g_registered);
    WCHAR buffer[32];
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(LoadStringW(fakeModule(), 100, buffer, 32), 5);
    EXPECT_EQ(std::u16string(buffer), u"Hello");
    EXPECT_EQ(LoadStringW(fakeModule(), 102, buffer, 32), 5);
    EXPECT_EQ(std::u16string(buffer), u"Gr\u00fc\u00dfe");
    // The first table registered answers first; a later one adds strings.
    EXPECT_EQ(LoadStringW(fakeModule(), 200, buffer, 32), 12);
    EXPECT_EQ(std::u16string(buffer), u"Second table");
}

TEST(LoadString, CutsToTheBuffer)
{
    WCHAR buffer[8];
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(LoadStringW(fakeModule(), 100, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Hel");
    EXPECT_EQ(buffer[4], 0x5555) << "nothing written past the buffer";
    EXPECT_EQ(LoadStringW(fakeModule(), 100, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);
}

TEST(LoadString, ZeroLengthGivesThePointerToTheString)
{
    LPCWSTR text = nullptr;
    EXPECT_EQ(LoadStringW(fakeModule(), 102, reinterpret_cast<LPWSTR>(&text), 0), 5);
    EXPECT_EQ(text, kStrings[2].text);
}

TEST(LoadString, MissingStringsAndModules)
{
    WCHAR buffer[8] = {u'x', u'y', 0};
    EXPECT_EQ(LoadStringW(fakeModule(), 999, buffer, 8), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(LoadStringW(fakeModule(), 101, buffer, 8), 0) << "an empty string";
    char otherModule;
    EXPECT_EQ(LoadStringW(&otherModule, 100, buffer, 8), 0);
    EXPECT_EQ(LoadStringW(nullptr, 100, buffer, 8), 0);
    EXPECT_EQ(LoadStringW(fakeModule(), 100, nullptr, 8), 0);
    EXPECT_EQ(LoadStringW(fakeModule(), 100, buffer, -1), 0);
}

TEST(ModuleState, GuardSwitchesAndRestoresOnEveryExit)
{
    AFX_MODULE_STATE* caller = AfxGetModuleState();
    ASSERT_NE(caller, AfxGetStaticModuleState());
    EXPECT_EQ(AfxGetResourceHandle(), nullptr) << "the caller's state is not this module's";
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        EXPECT_EQ(AfxGetModuleState(), AfxGetStaticModuleState());
        EXPECT_EQ(AfxGetResourceHandle(), platform::thisModule());
        EXPECT_EQ(AfxGetInstanceHandle(), platform::thisModule());
        AFX_MODULE_STATE other;
        {
            AFX_MAINTAIN_STATE2 nested(&other);
            EXPECT_EQ(AfxGetModuleState(), &other);
        }
        EXPECT_EQ(AfxGetModuleState(), AfxGetStaticModuleState());
    }
    EXPECT_EQ(AfxGetModuleState(), caller);

    try
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        throw std::runtime_error("leaving early");
    }
    catch (const std::runtime_error&)
    {
    }
    EXPECT_EQ(AfxGetModuleState(), caller);
}

class RecordingApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        stateDuringInit = AfxGetModuleState();
        appDuringInit = AfxGetApp();
        return initAnswer;
    }
    int ExitInstance() override
    {
        ++exits;
        return CWinApp::ExitInstance();
    }
    BOOL initAnswer = 1;
    AFX_MODULE_STATE* stateDuringInit = nullptr;
    CWinApp* appDuringInit = nullptr;
    int exits = 0;
};

TEST(ApplicationStart, RunsInitUnderTheModuleStateAndExitAtTheEnd)
{
    RecordingApp app;
    app.initAnswer = 7;
    AFX_MODULE_STATE* caller = AfxGetModuleState();
    {
        platform::ApplicationStart start(app);
        EXPECT_EQ(start.initResult(), 7);
        EXPECT_EQ(app.stateDuringInit, AfxGetStaticModuleState());
        EXPECT_EQ(app.appDuringInit, &app);
        EXPECT_EQ(AfxGetModuleState(), caller);
        EXPECT_EQ(app.exits, 0);
    }
    EXPECT_EQ(app.exits, 1);
    EXPECT_EQ(AfxGetModuleState(), caller);
}

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> g_received;

LRESULT recordingProcedure(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_received.push_back(Received{message, wParam, lParam});
    return 42;
}

TEST(SendMessage, ReachesTheWindowProcedure)
{
    g_received.clear();
    platform::Window window;
    window.procedure = &recordingProcedure;
    EXPECT_EQ(SendMessageW(&window, 0x4981, 114, -5), 42);
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].message, 0x4981u);
    EXPECT_EQ(g_received[0].wParam, 114u);
    EXPECT_EQ(g_received[0].lParam, -5);
}

TEST(SendMessage, NoWindowOrNoProcedureGivesZero)
{
    g_received.clear();
    platform::Window silent;
    EXPECT_EQ(SendMessageW(nullptr, WM_INITDIALOG, 0, 0), 0);
    EXPECT_EQ(SendMessageW(&silent, WM_DESTROY, 0, 0), 0);
    EXPECT_TRUE(g_received.empty());
}
} // namespace
