#pragma once

#include <juce_events/juce_events.h>

#include <functional>

namespace kelvo
{
class MidiCntrState;

/**
    Follows the chosen ports through the system's device lists: when a chosen device leaves (a USB
    interface unplugged) its port is closed and the link checked, which shows it off-line; when it
    comes back, or first appears, it is opened again by name and the link checked, which puts it
    back on-line when the synth answers. A device that fails to open is tried once until it leaves
    the list again. The chosen names never change here.

    Looks at the lists on its own timer, on the message thread.
*/
class PortWatcher final : private juce::Timer
{
public:
    explicit PortWatcher (MidiCntrState& engine, int intervalMs = 1000);
    ~PortWatcher() override;

    /** Stops and restarts the watching (a port scan owns the ports while it runs). */
    void setActive (bool shouldWatch);
    /** One look at the lists now. */
    void check();

    /** Called after it opened or closed a port. */
    std::function<void()> onPortsChanged;

private:
    /** What it knows of one side: the name it follows, and whether reopening it failed (then it
        waits until the device leaves, or another is chosen, before it tries again). */
    struct Side
    {
        juce::String name;
        bool gaveUp = false;
    };

    void timerCallback() override { check(); }
    /** Returns true when it closed the port or tried to reopen it. */
    bool follow (Side& side, const juce::String& name, const juce::StringArray& devices,
                 const std::function<bool()>& isOpen, const std::function<void()>& close,
                 const std::function<void()>& reopen);

    MidiCntrState& engine;
    const int interval;
    Side input, output;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PortWatcher)
};

} // namespace kelvo
