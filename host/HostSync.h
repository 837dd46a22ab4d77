#pragma once

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>

namespace kelvo
{

/**
    Passes on to the host what the plug-in changes by itself (a sound that replaced the edit
    buffer, a knob turned on the synth), from a thread that the plug-in format allows and without
    polling.

    On the host's own message thread the values go out at once: JUCE's wrappers tell the host
    directly there. A sound replaced on another thread (the MIDI input thread) wakes the message
    thread once. Where the message thread is one that the plug-in runs itself (JUCE's wrappers on
    Linux, until the host hands them its run loop), nothing may call into the host from it: the
    values go out from a reporter thread instead, where the wrappers hand them to the audio thread
    (VST3: the output parameter changes of the next block; LV2: the messages of the next runs,
    paced by PacedHostReports).

    Threads: soundReplaced() on any thread but the audio thread; changedOnPluginsMessageThread()
    and stop() on the message thread. The report function runs on the host's message thread or on
    the reporter thread, never on a message thread of the plug-in's own.
*/
class HostSync final : private juce::AsyncUpdater, private juce::Thread
{
public:
    /** reportChanges tells the host every parameter where its view differs from the edit buffer. */
    explicit HostSync (std::function<void()> reportChanges);
    ~HostSync() override;

    /** Whether the calling thread is the message thread and the host's own. On Linux, JUCE's
        plug-in wrappers run a message thread of their own (a juce::Thread) until the host hands
        them its run loop. */
    static bool isHostsMessageThread() noexcept;

    /** The edit buffer was replaced as a whole. */
    void soundReplaced();
    /** A parameter changed on a message thread of the plug-in's own: the reporter passes it on. */
    void changedOnPluginsMessageThread();
    /** Nothing more is reported (the processor is going away); whatever is running ends. */
    void stop();

private:
    void handleAsyncUpdate() override;
    void run() override;
    /** Reports here on the host's message thread, else wakes the reporter, unless stopped. Message thread. */
    void reportOnThisThreadOrWakeReporter();

    const std::function<void()> report;
    // A host may destroy the processor on a thread of its own while the plug-in's message thread is
    // in here: stop() waits until nobody is.
    std::atomic<bool> stopped{false};
    std::atomic<int> busy{0};

    JUCE_DECLARE_NON_COPYABLE (HostSync)
};

} // namespace kelvo
