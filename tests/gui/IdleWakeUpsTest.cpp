#include "host/MarvexAudioProcessor.h"
#include "link/VirtualMidiDevices.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <iostream>

using namespace kelvo;
using namespace kelvo::test;

#if JUCE_LINUX || JUCE_BSD || JUCE_WINDOWS
// JUCE's own step of the message loop: true when it found something to dispatch.
namespace juce
{
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace
{
/** Runs the message loop for a while and counts the times it woke to dispatch something (a timer's
    tick, an async update, a posted call), per second. */
double messageThreadWakeUpsPerSecond (int milliseconds)
{
    int wakeUps = 0;
    const auto start = juce::Time::getMillisecondCounterHiRes();
    while (juce::Time::getMillisecondCounterHiRes() - start < milliseconds)
    {
        if (juce::dispatchNextMessageOnSystemQueue (true))
            ++wakeUps;
        else
            juce::Thread::sleep (1);
    }
    return wakeUps * 1000.0 / (juce::Time::getMillisecondCounterHiRes() - start);
}
} // namespace

// Sixteen instances in a project must not keep the host's message thread busy while nothing
// happens: an instance without an editor wakes it only for what it waits for.
TEST (IdleWakeUps, AnIdleInstanceWithoutAnEditorRarelyWakesTheMessageThread)
{
    TempFolder temp;
    VirtualRig rig;
    auto processor = std::make_unique<MarvexAudioProcessor> (rig.makeDevices(), temp.folder);
    pumpFor (300); // whatever the instance's construction posted

    const auto rate = messageThreadWakeUpsPerSecond (3000);
    std::cout << "message-thread wake-ups per second, idle, no editor: " << rate << std::endl;
    RecordProperty ("wakeUpsPerSecond", juce::String (rate, 1).toStdString());

    // The port watcher looks at the device lists once a second and the edit-buffer sweep takes
    // host writes once a second (they tick together); nothing else runs while nothing happens.
    EXPECT_LE (rate, 2.5);
}
#endif
