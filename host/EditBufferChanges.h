#pragma once

#include "model/EditBufferObserver.h"

#include <juce_events/juce_events.h>

#include <atomic>

namespace kelvo
{

/**
    Brings the changes of the plug-in's edit buffer to the message thread, coalesced into one
    change message however many writes a burst holds, so that whoever mirrors the edit buffer (the
    undo history, the host's view of the parameters) takes them when they happen instead of looking
    every few milliseconds.

    Threads. editBufferChanged is called on whatever thread wrote the edit buffer. The message
    thread and the link's own threads (MIDI input, sender) post the change at once. A host's thread
    may be the audio thread, which must not post: it only leaves a flag, which the next change
    posted takes, or else a sweep once a second, the one timer here. Listeners are called on the
    message thread.
*/
class EditBufferChanges final : public juce::ChangeBroadcaster, public EditBufferObserver, private juce::Timer
{
public:
    EditBufferChanges();
    ~EditBufferChanges() override;

    /** Any thread; never locks or allocates on a thread that may not post. */
    void editBufferChanged() noexcept override;

    /** How often a change left by a host's thread is looked for at the latest. */
    static constexpr int sweepIntervalMs = 1000;

private:
    void timerCallback() override;

    std::atomic<bool> unposted{false};

    JUCE_DECLARE_NON_COPYABLE (EditBufferChanges)
};

} // namespace kelvo
