// Runs the widget tests as the host runs the editor: on the framework's message thread.
// The message manager comes up before each test (an editor that goes away takes the
// framework down with it, as in the host), and is shut down once at the end.
#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

namespace
{
class MessageThread final : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { juce::MessageManager::getInstance(); }
};
} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new MessageThread);
    const int result = RUN_ALL_TESTS();
    juce::DeletedAtShutdown::deleteAll();
    juce::MessageManager::deleteInstance();
    return result;
}
