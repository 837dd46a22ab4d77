#include "support/PrivateHome.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// The test thread is the message thread: timers, async updates and change messages run when a
// test pumps the loop (see TestHelpers.h).
int main (int argc, char** argv)
{
    const kelvo::test::PrivateHome home;
    ::testing::InitGoogleTest (&argc, argv);
    juce::MessageManager::getInstance();
    const auto result = RUN_ALL_TESTS();
    juce::DeletedAtShutdown::deleteAll();
    juce::MessageManager::deleteInstance();
    return result;
}
