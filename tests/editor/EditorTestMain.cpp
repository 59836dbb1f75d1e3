// Runs the editor tests as the host runs the editor: on the framework's message thread,
// with a private X server for the tests that open windows. The message manager comes up
// before each test (closing the last editor takes the framework down, as in the host) and
// is shut down once at the end.
#include "quarl/SettingsDialog.h"
#include "tests/editor/EditorTestSupport.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

namespace
{
class MessageThread final : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { juce::MessageManager::getInstance(); }
};
} // namespace

namespace editor_test
{
VirtualDisplay* g_display = nullptr;
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    VirtualDisplay display;
    editor_test::g_display = &display;
    // The window manager's atoms, as a desktop has them before any program starts (the
    // server keeps them once made).
    if (display.isRunning())
        quarl::SettingsDialog atoms;
    ::testing::UnitTest::GetInstance()->listeners().Append(new MessageThread);
    const int result = RUN_ALL_TESTS();
    juce::DeletedAtShutdown::deleteAll();
    juce::MessageManager::deleteInstance();
    return result;
}
