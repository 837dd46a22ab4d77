#pragma once

#include "ui/widgets/ListenerArray.h"
#include "ui/widgets/stsbutChangeListener.h"
#include "ui/widgets/stsbutListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{

/**
    The editor's push button, in one of four looks (kinds). A click is reported to every
    stsbutChangeListener with the button, then to every stsbutListener with the button's id.

    Kind 5 is drawn by the button itself and reports on the press; kinds 130, 135 and 140 sit on an
    inner juce::TextButton and report its clicks (kind 140 also a press in the strip along its
    bottom edge that the inner button leaves uncovered). Message thread only.
*/
class StsBut : public juce::Component, private juce::Button::Listener
{
public:
    static constexpr int bevelKind = 5;
    static constexpr int tabKind = 130;     // with a line along the bottom edge
    static constexpr int openTabKind = 135; // without it
    static constexpr int barKind = 140;

    StsBut (const juce::String& caption, int buttonId, int buttonKind);
    ~StsBut() override;

    /** Takes the colours and caption font of the kind, builds the inner button of the text-button
        kinds and, with applyBounds, places the button. */
    void setupButton (int x, int y, int width, int height, bool applyBounds);

    /** A bar button of width × height, shown on owner and reporting its clicks to it (owner is a
        Component and a stsbutChangeListener). */
    template <typename Owner>
    static std::unique_ptr<StsBut> makeBarButton (const juce::String& text, int id, int width, int height, Owner& owner)
    {
        auto b = std::make_unique<StsBut> (text, id, barKind);
        b->setupButton (0, 0, width, height, true);
        b->addChangeListener (&owner);
        owner.addAndMakeVisible (*b);
        return b;
    }

    void addListener (stsbutListener* l) { buttonListeners.add (l); }
    void removeListener (stsbutListener* l) { buttonListeners.remove (l); }
    void addChangeListener (stsbutChangeListener* l) { changeListeners.add (l); }
    void removeChangeListener (stsbutChangeListener* l) { changeListeners.remove (l); }

    const juce::String& getCaption() const noexcept { return caption; }
    void setCaption (const juce::String& text);
    void setCaptionFontHeight (float height);
    /** The font the caption is drawn in. */
    juce::Font getCaptionFont() const;
    int getButtonId() const noexcept { return buttonId; }
    int getButtonKind() const noexcept { return buttonKind; }
    bool isPressed() const noexcept { return pressed; }
    /** Lights the button (it names what is shown next to it) or puts it out; clicks leave it as
        it is. */
    void setLit (bool shouldBeLit);
    bool isLit() const noexcept { return lit; }

    /** The inner button of the text-button kinds (nullptr for kind 5 and before setupButton). */
    juce::TextButton* getInnerButton() const noexcept { return innerButton.get(); }

    void paint (juce::Graphics& g) override;
    void paintOverChildren (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void buttonClicked (juce::Button*) override;
    void reportClick();
    bool hasInnerButton() const noexcept;

    ListenerArray<stsbutListener> buttonListeners;
    ListenerArray<stsbutChangeListener> changeListeners;
    juce::String caption;
    int buttonId;
    juce::Colour bevelTopLeft, bevelBottomRight, face, pressedFace, captionColour, pressedCaptionColour;
    int buttonKind;
    float captionFontHeight = 13.0f;
    std::unique_ptr<juce::TextButton> innerButton;
    bool pressed = false;
    bool lit = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsBut)
};

} // namespace kelvo
