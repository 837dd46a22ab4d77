#pragma once

#include "ui/librarian/LibButListener.h"
#include "ui/widgets/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The librarian's text button: a body image with a rounded end cap and a centred caption. It
    reports its click on the press (releasing elsewhere does not cancel it), and the pointer
    entering and leaving, so that its owner can show the hint. Message thread only.
*/
class LibBut : public juce::Component
{
public:
    static constexpr int buttonWidth = 100, buttonHeight = 34;

    LibBut (const juce::String& caption, int id, float fontHeight);
    ~LibBut() override;

    /** Places the button at (x, y) with its fixed size. */
    void place (int x, int y);

    const juce::String& getCaption() const noexcept { return caption; }
    void setCaption (const juce::String& text);
    int getId() const noexcept { return id; }
    const juce::String& getHint() const noexcept { return hint; }
    void setHint (const juce::String& text) { hint = text; }

    /** Reports a click, as a press on the button does (a double-click elsewhere standing for it). */
    void triggerClick();

    void addListener (LibButListener* l) { listeners.add (l); }
    void removeListener (LibButListener* l) { listeners.remove (l); }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;

private:
    juce::String caption, hint;
    const int id;
    const float fontHeight;
    ListenerArray<LibButListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LibBut)
};

} // namespace kelvo
