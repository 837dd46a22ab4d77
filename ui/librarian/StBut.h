#pragma once

#include "ui/librarian/StButListener.h"
#include "ui/widgets/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    A key of the category chooser: a light body image with a centred caption that darkens while
    hovered and more while pressed. A release inside the key also broadcasts a change, which its
    chooser turns into a choice. Message thread only.
*/
class StBut : public juce::Component, public juce::ChangeBroadcaster
{
public:
    StBut (const juce::String& caption, int id, float fontHeight, juce::Colour normalText,
           juce::Colour pressedText);
    ~StBut() override;

    int getId() const noexcept { return id; }
    const juce::String& getCaption() const noexcept { return caption; }
    void setCaption (const juce::String& text);
    bool isPressed() const noexcept { return pressed; }
    bool isHovered() const noexcept { return hovered; }

    void addListener (StButListener* l) { listeners.add (l); }
    void removeListener (StButListener* l) { listeners.remove (l); }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;

private:
    void report (int code);

    juce::String caption;
    const int id;
    const float fontHeight;
    const juce::Colour normalText, pressedText;
    bool pressed = false, hovered = false;
    ListenerArray<StButListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StBut)
};

} // namespace kelvo
