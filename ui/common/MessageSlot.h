#pragma once

#include "ui/common/MsgCont.h"

#include <deque>
#include <functional>
#include <memory>

namespace kelvo
{

/**
    The one message box a component shows at a time, over the whole of it: a message with "OK", or a
    question with "OK" and "CANCEL" whose "OK" runs an action.

    Nothing shown is dropped: a message that comes while a message is shown joins its text; anything
    that comes while a question is open waits behind it (a question waits behind a message too), and
    shows when the box before it is answered. What a question's action shows comes before what was
    waiting.

    The owner passes every button id it hears to answer(); the box reports its buttons to the
    owner's stsbutListener, so it may be inside a button's callback when it closes: it is deleted
    later, on the message loop.
*/
class MessageSlot
{
public:
    MessageSlot (juce::Component& ownerToCover, stsbutListener& listener) noexcept
        : owner (ownerToCover), buttonListener (listener)
    {
    }

    ~MessageSlot() { box.reset(); }

    void show (const juce::String& text);
    void ask (const juce::String& text, std::function<void()> onYes);
    /** Takes the box's "OK" or "CANCEL"; false for any other button id. */
    bool answer (int buttonId);
    /** Keeps the box over the whole owner (call from the owner's resized()). */
    void layout();

    MsgCont* get() const noexcept { return box.get(); }

private:
    struct Entry
    {
        juce::String text;
        std::function<void()> onYes; // empty for a message
        bool isQuestion = false;
    };

    void open (Entry entry);
    void removeBox();
    void openNext();

    juce::Component& owner;
    stsbutListener& buttonListener;
    std::unique_ptr<MsgCont> box;
    Entry shown;
    std::deque<Entry> waiting;

    JUCE_DECLARE_NON_COPYABLE (MessageSlot)
};

} // namespace kelvo
