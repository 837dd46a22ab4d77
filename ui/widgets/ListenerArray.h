#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The listener list of a widget: each listener once, called from the last added to the first.

    The list is copied under its lock and called outside it. A listener removed by an earlier one is
    skipped, and the calls stop when the widget itself was deleted by a listener (closing a dialog
    from its own button deletes the button). Message thread; the lock only keeps the list whole.
*/
template <typename ListenerType> class ListenerArray
{
public:
    void add (ListenerType* listener)
    {
        const juce::ScopedLock sl (lock);
        listeners.addIfNotAlreadyThere (listener);
    }

    void remove (ListenerType* listener)
    {
        const juce::ScopedLock sl (lock);
        listeners.removeFirstMatchingValue (listener);
    }

    int size() const
    {
        const juce::ScopedLock sl (lock);
        return listeners.size();
    }

    /** Calls fn (listener) on each; returns false when owner was deleted on the way. */
    template <typename Callback> bool callLastToFirst (juce::Component& owner, Callback&& fn)
    {
        juce::Array<ListenerType*> copy;
        {
            const juce::ScopedLock sl (lock);
            copy = listeners;
        }

        const juce::Component::SafePointer<juce::Component> alive (&owner);
        for (int i = copy.size(); --i >= 0;)
        {
            if (alive == nullptr)
                return false;
            if (! contains (copy.getUnchecked (i)))
                continue;
            fn (*copy.getUnchecked (i));
        }
        return alive != nullptr;
    }

private:
    bool contains (ListenerType* listener) const
    {
        const juce::ScopedLock sl (lock);
        return listeners.contains (listener);
    }

    juce::CriticalSection lock;
    juce::Array<ListenerType*> listeners;
};

} // namespace kelvo
