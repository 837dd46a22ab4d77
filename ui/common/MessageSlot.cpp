#include "ui/common/MessageSlot.h"

namespace kelvo
{

void MessageSlot::show (const juce::String& text)
{
    close();
    box = std::make_unique<MsgCont> (text);
    box->setBounds (owner.getLocalBounds());
    box->getOkButton().addListener (&buttonListener);
    box->getCancelButton().addListener (&buttonListener);
    owner.addAndMakeVisible (*box);
    box->toFront (true);
}

void MessageSlot::ask (const juce::String& text, std::function<void()> onYes)
{
    show (text);
    box->showCancelButton();
    onOk = std::move (onYes);
}

void MessageSlot::close()
{
    onOk = nullptr;
    if (box == nullptr)
        return;
    owner.removeChildComponent (box.get());
    // Its button may be reporting to the owner right now: let it finish before it goes.
    juce::MessageManager::callAsync ([doomed = std::shared_ptr<MsgCont> (box.release())] {});
}

bool MessageSlot::answer (int buttonId)
{
    if (buttonId != MsgCont::okCode && buttonId != MsgCont::cancelCode)
        return false;
    if (box == nullptr)
        return true;
    auto action = std::exchange (onOk, nullptr);
    close();
    if (buttonId == MsgCont::okCode && action != nullptr)
        action();
    return true;
}

void MessageSlot::layout()
{
    if (box != nullptr)
        box->setBounds (owner.getLocalBounds());
}

} // namespace kelvo
