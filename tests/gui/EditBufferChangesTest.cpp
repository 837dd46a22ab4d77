#include "host/EditBufferChanges.h"
#include "model/Bank_Program.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kelvo;
using namespace kelvo::test;

namespace
{
struct CountingListener final : juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++calls; }
    int calls = 0;
};

struct EditBufferChangesTest : ::testing::Test
{
    Bank_Program bank{"Program Bank"};
    EditBufferChanges changes;
    CountingListener listener;

    void SetUp() override
    {
        bank.initialise();
        bank.setEditBufferObserver (&changes);
        changes.addChangeListener (&listener);
    }

    void TearDown() override
    {
        changes.removeChangeListener (&listener);
        bank.setEditBufferObserver (nullptr);
    }
};
} // namespace

// A burst of writes on the message thread (a drag, a sound replaced) is one change message, at once.
TEST_F (EditBufferChangesTest, WritesOnTheMessageThreadArriveAtOnceAsOneMessage)
{
    for (int i = 0; i < 100; ++i)
        bank.setEditBufferByte (20, (uint8_t)i);
    bank.setEditBuffer (initialProgram());
    EXPECT_EQ (listener.calls, 0); // posted, not called from inside the write
    pumpFor (20);
    EXPECT_EQ (listener.calls, 1);
}

// A host's thread may be the audio thread, which must not post: its write waits for the sweep.
TEST_F (EditBufferChangesTest, AWriteOnAHostThreadIsNotPostedButArrivesWithTheSweep)
{
    const auto writeOnHostThread = [this] (uint8_t value)
    {
        std::thread host ([this, value] { bank.setEditBufferByte (21, value); });
        host.join();
    };

    writeOnHostThread (99);
    ASSERT_TRUE (pumpUntil ([&] { return listener.calls > 0; }, 2 * EditBufferChanges::sweepIntervalMs));
    const auto swept = juce::Time::getMillisecondCounterHiRes(); // the sweep has just looked

    writeOnHostThread (98);
    pumpFor (100);
    EXPECT_EQ (listener.calls, 1); // a post would have arrived by now
    ASSERT_TRUE (pumpUntil ([&] { return listener.calls > 1; }, 2 * EditBufferChanges::sweepIntervalMs));
    EXPECT_EQ (listener.calls, 2);
    EXPECT_LE (juce::Time::getMillisecondCounterHiRes() - swept, EditBufferChanges::sweepIntervalMs + 300.0);

    // Nothing written since: the sweep finds nothing to tell.
    pumpFor (EditBufferChanges::sweepIntervalMs + 100);
    EXPECT_EQ (listener.calls, 2);
}
