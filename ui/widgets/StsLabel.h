#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    A line of text that can be clicked: a press inside it sends a change message. Its creator sets
    the colours and the border directly. Message thread only.
*/
class StsLabel : public juce::Component, public juce::ChangeBroadcaster
{
public:
    static constexpr int noBorder = 0;
    static constexpr int filled = 1;
    static constexpr int filledAndOutlined = 2;

    StsLabel();
    ~StsLabel() override;

    /** Text, face and height; the text becomes white and plain. Does not repaint. */
    void setup (const juce::String& text, const juce::String& typefaceName, float fontHeight,
                juce::Justification justification);

    void setText (const juce::String& newText);
    const juce::String& getText() const noexcept { return text; }

    int borderMode = noBorder;
    juce::Colour textColour{juce::Colours::white};
    juce::Colour fillColour{juce::Colours::black};
    juce::Colour outlineColour{juce::Colours::white};
    int fontStyleFlags = juce::Font::plain;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    float fontHeight = 12.0f;
    juce::String typefaceName{"Arial"};
    juce::String text;
    juce::Justification justification{juce::Justification::centredLeft};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StsLabel)
};

} // namespace kelvo
