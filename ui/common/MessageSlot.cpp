#include "ui/common/MessageSlot.h"
#include "ui/common/RetireChild.h"

namespace kelvo
{
namespace
{
// A message already in the text is not repeated: the same failure reported twice is told once.
juce::String joined (const juce::String& text, const juce::String& more)
{
    if (juce::StringArray::fromLines (text).contains (more))
        return text;
    return text + "\n" + more;
}
} // namespace

void MessageSlot::show (const juce::String& text)
{
    if (box == nullptr)
    {
        open ({text, {}, false});
    }
    else if (!shown.isQuestion && waiting.empty())
    {
        const auto all = joined (shown.text, text);
        if (all != shown.text)
        {
            removeBox();
            open ({all, {}, false});
        }
    }
    else if (!waiting.empty() && !waiting.back().isQuestion)
    {
        waiting.back().text = joined (waiting.back().text, text);
    }
    else
    {
        waiting.push_back ({text, {}, false});
    }
}

void MessageSlot::ask (const juce::String& text, std::function<void()> onYes)
{
    if (box == nullptr)
        open ({text, std::move (onYes), true});
    else
        waiting.push_back ({text, std::move (onYes), true});
}

void MessageSlot::open (Entry entry)
{
    shown = std::move (entry);
    box = std::make_unique<MsgCont> (shown.text);
    box->setBounds (owner.getLocalBounds());
    box->getOkButton().addListener (&buttonListener);
    box->getCancelButton().addListener (&buttonListener);
    if (shown.isQuestion)
        box->showCancelButton();
    owner.addAndMakeVisible (*box);
    box->toFront (true);
}

void MessageSlot::removeBox()
{
    shown = {};
    if (box == nullptr)
        return;
    // Its button may be reporting to the owner right now.
    retireChild (owner, box);
}

void MessageSlot::openNext()
{
    if (box != nullptr || waiting.empty())
        return;
    auto next = std::move (waiting.front());
    waiting.pop_front();
    open (std::move (next));
}

bool MessageSlot::answer (int buttonId)
{
    if (buttonId != MsgCont::okCode && buttonId != MsgCont::cancelCode)
        return false;
    if (box == nullptr)
        return true;
    auto action = std::exchange (shown.onYes, nullptr);
    removeBox();
    if (buttonId == MsgCont::okCode && action != nullptr)
        action(); // what it shows opens at once, ahead of what waits
    openNext();
    return true;
}

void MessageSlot::layout()
{
    if (box != nullptr)
        box->setBounds (owner.getLocalBounds());
}

} // namespace kelvo
