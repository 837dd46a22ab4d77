#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    An LED with a caption that the user switches on and off with a click; each click sends a change
    message, after which isOn() tells the new state. Message thread only.
*/
class SwitchLED : public juce::Component, public juce::ChangeBroadcaster
{
public:
    SwitchLED (const juce::String& caption, float fontHeight);
    ~SwitchLED() override;

    bool isOn() const noexcept { return on; }
    /** Sets the state without a change message (the owner showing a setting). */
    void setOn (bool shouldBeOn);

    juce::Colour captionColour{0xfffefefe};

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    juce::String caption;
    bool on = false;
    float fontHeight;
    juce::Image ledImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SwitchLED)
};

} // namespace kelvo
