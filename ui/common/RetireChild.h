#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
/**
    Takes a child off its parent at once and deletes it once the message that is running now has
    ended: that message may come from inside the child (its own button reporting a click), which
    must not be deleted under it. Without a message loop the child goes at once.
*/
template <typename Child>
void retireChild (juce::Component& parent, std::unique_ptr<Child>& child)
{
    if (child == nullptr)
        return;
    parent.removeChildComponent (child.get());
    juce::MessageManager::callAsync ([doomed = std::shared_ptr<Child> (child.release())] {});
}
} // namespace kelvo
