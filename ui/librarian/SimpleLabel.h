#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/** A painted label: background, white text in the top 20 pixels. Message thread only. */
class SimpleLabel : public juce::Component
{
public:
    SimpleLabel (float fontHeight, int fontStyle, juce::Colour background, juce::Justification justification);
    ~SimpleLabel() override;

    const juce::String& getText() const noexcept { return text; }
    void setText (const juce::String& newText);

    void paint (juce::Graphics& g) override;

private:
    juce::String text;
    const float fontHeight;
    const int fontStyle;
    const juce::Colour background;
    const juce::Justification justification;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SimpleLabel)
};

} // namespace kelvo
