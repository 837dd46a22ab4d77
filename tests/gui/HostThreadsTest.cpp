#include "support/ProcessorRig.h"

#include <gtest/gtest.h>

#include <mutex>

// On Linux JUCE's plug-in wrappers run a message thread of their own until the host hands them its
// run loop (an editor opens): what a headless host such as ardour7-lua meets. Nothing may call into
// the host from that thread.
#if JUCE_LINUX

namespace juce
{
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

using namespace kelvo;
using namespace kelvo::test;

namespace
{
/** The message thread as JUCE's wrappers run it; the test's own thread stands for the host's
    threads meanwhile. It counts how often it wakes to deliver a message. */
class PluginMessageThread final : public juce::Thread
{
public:
    PluginMessageThread() : juce::Thread ("plug-in message thread")
    {
        startThread();
        running.wait (5000);
    }
    ~PluginMessageThread() override
    {
        stopThread (5000);
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
    }

    std::atomic<int> wakes{0};
    std::atomic<juce::Thread::ThreadID> id{};

private:
    void run() override
    {
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        id = juce::Thread::getCurrentThreadId();
        running.signal();
        while (!threadShouldExit())
        {
            if (juce::dispatchNextMessageOnSystemQueue (true))
                ++wakes;
            else
                juce::Thread::sleep (1);
        }
    }

    juce::WaitableEvent running;
};

/** What the host hears, and on which thread. */
struct ThreadRecordingHost : juce::AudioProcessorListener
{
    struct Call
    {
        char what; // 'v' value, 'b' gesture begin, 'e' gesture end, 'c' display change
        int index;
        float value;
        juce::Thread::ThreadID thread;
    };

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        add ({'v', index, value, juce::Thread::getCurrentThreadId()});
    }
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        add ({'b', index, 0, juce::Thread::getCurrentThreadId()});
    }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        add ({'e', index, 0, juce::Thread::getCurrentThreadId()});
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override
    {
        add ({'c', -1, 0, juce::Thread::getCurrentThreadId()});
    }

    std::vector<Call> take()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return std::exchange (calls, {});
    }
    /** The last value heard for a parameter, or -1. */
    float lastValue (int index)
    {
        const std::lock_guard<std::mutex> lock (mutex);
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->what == 'v' && it->index == index)
                return it->value;
        return -1.0f;
    }

private:
    void add (const Call& c)
    {
        const std::lock_guard<std::mutex> lock (mutex);
        calls.push_back (c);
    }
    std::mutex mutex;
    std::vector<Call> calls;
};

struct HostThreadsFixture : SynthProcessorRig
{
    ThreadRecordingHost host;

    void SetUp() override
    {
        SynthProcessorRig::SetUp();
        engine().selectInputRow (1);
        engine().selectOutputRow (1);
        processor->addListener (&host);
    }
    void TearDown() override
    {
        processor->removeListener (&host);
        SynthProcessorRig::TearDown();
    }

    static bool waitFor (const std::function<bool()>& condition)
    {
        for (int i = 0; i < 400; ++i, juce::Thread::sleep (5))
            if (condition())
                return true;
        return false;
    }
};
} // namespace

// A program chosen on the synth and a knob turned there reach the host all the same, but never
// from the plug-in's message thread, and without gestures (which only the host's own message
// thread may open).
TEST_F (HostThreadsFixture, OnAMessageThreadOfThePluginsOwnNothingCallsTheHost)
{
    const auto& table = engine().getTable();
    PluginMessageThread pluginThread;

    synth().selectProgramOnPanel (0, 10);
    const auto program = engine().getSynthBank (0)->getProgramRecord (10);
    ASSERT_NE (program[20], initialProgram()[20]);
    EXPECT_TRUE (waitFor ([&] { return host.lastValue (20) == table.toHostValue (20, program[20]); }));

    synth().turnKnob (21, 77); // "Resonance"
    EXPECT_TRUE (waitFor ([&] { return host.lastValue (21) == table.toHostValue (21, 77); }));
    juce::Thread::sleep (300); // the editor path's gesture would have closed by now

    const auto calls = host.take();
    EXPECT_FALSE (calls.empty());
    for (const auto& c : calls)
    {
        EXPECT_NE (c.thread, pluginThread.id.load()) << c.what << " " << c.index;
        EXPECT_EQ (c.what, 'v') << c.index;
    }
}

// An idle instance without an editor lets the message thread sleep: nothing polls for what can be
// posted. The port watcher and the undo history's sweep of stale entries each look once a second.
TEST_F (HostThreadsFixture, AnIdleInstanceWithoutAnEditorLetsTheMessageThreadSleep)
{
    PluginMessageThread pluginThread;
    juce::Thread::sleep (500); // the start is over: ports opened, the synth asked
    const auto before = pluginThread.wakes.load();
    constexpr int seconds = 4;
    juce::Thread::sleep (seconds * 1000);
    const auto perSecond = (double)(pluginThread.wakes.load() - before) / seconds;
    std::printf ("idle wakes: %.2f a second\n", perSecond);
    EXPECT_LE (perSecond, 2.5);
}

#endif
